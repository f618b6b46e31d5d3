#include "owl/node_ref.h"

#include <vector>

namespace kelmon::owl::internal {

namespace {
thread_local std::vector<NodeBase*>* pending = nullptr;
}

void free_node(NodeBase* node) noexcept {
  if (pending) {
    pending->push_back(node);
    return;
  }
  std::vector<NodeBase*> queue;
  pending = &queue;
  delete node;
  while (!queue.empty()) {
    NodeBase* next = queue.back();
    queue.pop_back();
    delete next;
  }
  pending = nullptr;
}

}  // namespace kelmon::owl::internal

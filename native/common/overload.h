// The usual visitor helper for std::visit over several lambdas.
#pragma once

namespace kelmon {

template <class... F>
struct Overload : F... {
  using F::operator()...;
};
template <class... F>
Overload(F...) -> Overload<F...>;

}  // namespace kelmon

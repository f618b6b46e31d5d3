// Property chains longer than two become two-role chains over fresh auxiliary roles.
#pragma once

#include "core/ir.h"

namespace kelmon {

// Rewrites every SubObjectPropertyOf whose sub side is a chain of three or more
// roles, in place; auxiliary roles are named "urn:kelmon-aux-role:{position}:{j}".
void split_role_chains(InternalOntology& onto);

}  // namespace kelmon

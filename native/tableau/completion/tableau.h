// The completion-graph tableau: a TableauContext seeded by the caller and
// decided by `search`, with the logic profile the caller uses to set it up.
#pragma once

#include "tableau/completion/context.h"
#include "tableau/completion/dep_set.h"
#include "tableau/completion/graph.h"
#include "tableau/completion/logic_profile.h"
#include "tableau/completion/search.h"

// Every KELMON_ environment switch the native code reads, one line each:
//   KELMON_SWITCH(Id, "KELMON_NAME", Rule, default number, Read)
// Rule is the truth or number rule (see SwitchRule in switches.h); the default
// number applies to Number/NumberTrimmed switches when the variable is unset or
// invalid. Read is Process (read once, cached) or Use (read at each use).
// Sections by subsystem keep additions from different work apart.
// No include guard: this file is expanded several times.

// --- core: conversion, passes, data-value keys
KELMON_SWITCH(ConvertHashSort, "KELMON_CONVERT_HASH_SORT", OnlyForOne, 0, Use)
KELMON_SWITCH(CardDisjunctAtoms, "KELMON_CARD_DISJUNCT_ATOMS", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(DataProperties, "KELMON_DATA_PROPERTIES", OnUnlessZero, 0, Use)
KELMON_SWITCH(DkeyOneofSeed, "KELMON_DKEY_ONEOF_SEED", OnUnlessZero, 0, Use)
KELMON_SWITCH(BoundedDkeyDisjoint, "KELMON_BOUNDED_DKEY_DISJOINT", OnUnlessZero, 0, Use)
KELMON_SWITCH(DkeyEmitOrder, "KELMON_DKEY_EMIT_ORDER", OnUnlessZero, 0, Use)
KELMON_SWITCH(DkeySplitStats, "KELMON_DKEY_SPLIT_STATS", Text, 0, Use)
KELMON_SWITCH(DkeyCollapseSplit, "KELMON_DKEY_COLLAPSE_SPLIT", OnUnlessZero, 0, Use)
KELMON_SWITCH(DkeyGroupSkip, "KELMON_DKEY_GROUP_SKIP", OnUnlessZero, 0, Use)
KELMON_SWITCH(DkeyCrossBucketDisjoint, "KELMON_DKEY_CROSS_BUCKET_DISJOINT", OnUnlessZero, 0, Use)
KELMON_SWITCH(DkeyStrSizeIndex, "KELMON_DKEY_STR_SIZE_INDEX", OnUnlessZero, 0, Use)
KELMON_SWITCH(DkeyPostNnf, "KELMON_DKEY_POST_NNF", OnUnlessZero, 0, Use)
KELMON_SWITCH(DkeyMergingGate, "KELMON_DKEY_MERGING_GATE", OnUnlessZero, 0, Use)
KELMON_SWITCH(DomainAbsorption, "KELMON_DOMAIN_ABSORPTION", OnUnlessZero, 0, Use)
KELMON_SWITCH(NominalExistsAbsorption, "KELMON_NOMINAL_EXISTS_ABSORPTION", OnUnlessZero, 0, Use)
KELMON_SWITCH(NegToBotGci, "KELMON_NEG_TO_BOT_GCI", OnUnlessZero, 0, Use)
KELMON_SWITCH(InverseFuncMax, "KELMON_INVERSE_FUNC_MAX", OnUnlessZero, 0, Use)
KELMON_SWITCH(InversePairFunc, "KELMON_INVERSE_PAIR_FUNC", OnlyForOne, 0, Use)

// --- saturation
KELMON_SWITCH(Proof, "KELMON_PROOF", OnlyForOne, 0, Use)
KELMON_SWITCH(ElBotFiller, "KELMON_EL_BOT_FILLER", OnUnlessZero, 0, Use)
KELMON_SWITCH(NominalTyping, "KELMON_NOMINAL_TYPING", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(OneofSubsumer, "KELMON_ONEOF_SUBSUMER", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(SatEnqueueDedup, "KELMON_SAT_ENQUEUE_DEDUP", OnlyForOne, 0, Use)

// --- tableau engine
KELMON_SWITCH(AnywhereBlocking, "KELMON_ANYWHERE_BLOCKING", OnlyForOne, 0, Use)
KELMON_SWITCH(MaxNodes, "KELMON_MAX_NODES", NumberTrimmed, 50000, Process)
KELMON_SWITCH(NominalFirst, "KELMON_NOMINAL_FIRST", OnlyForOne, 0, Process)
KELMON_SWITCH(MaxTrialMerge, "KELMON_MAX_TRIAL_MERGE", OnUnlessZero, 0, Use)

// --- hypertableau engine
KELMON_SWITCH(SnapshotCapture, "KELMON_SNAPSHOT_CAPTURE", ForYes, 0, Use)
KELMON_SWITCH(ReseedVerify, "KELMON_RESEED_VERIFY", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(FixpointDeadline, "KELMON_FIXPOINT_DEADLINE", OnUnlessZero, 0, Use)
KELMON_SWITCH(HyperMatchDeadline, "KELMON_HYPER_MATCH_DEADLINE", OnUnlessZero, 0, Use)
KELMON_SWITCH(InverseFuncMerge, "KELMON_INVERSE_FUNC_MERGE", OnUnlessZero, 0, Use)
KELMON_SWITCH(HeadPresentSkip, "KELMON_HEAD_PRESENT_SKIP", OnUnlessZero, 0, Use)
KELMON_SWITCH(ReseedProbe, "KELMON_RESEED_PROBE", WhenSet, 0, Use)
KELMON_SWITCH(AtMostExhaustProbe, "KELMON_AT_MOST_EXHAUST_PROBE", Text, 0, Use)
KELMON_SWITCH(WideBodyVars, "KELMON_WIDE_BODY_VARS", OnlyForOne, 0, Process)
KELMON_SWITCH(TraceBodyVars, "KELMON_TRACE_BODY_VARS", OnlyForOne, 0, Process)

// --- reasoning kernel: prepared reasoner, pool, role tables, test runner
KELMON_SWITCH(FragmentBareDecl, "KELMON_FRAGMENT_BARE_DECL", OnUnlessZero, 0, Use)
KELMON_SWITCH(HornShortcircuit, "KELMON_HORN_SHORTCIRCUIT", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(WorkerStackMb, "KELMON_WORKER_STACK_MB", Number, 32, Use)
KELMON_SWITCH(ClassifyRoleHierarchyMaxClosure, "KELMON_CLASSIFY_ROLE_HIERARCHY_MAX_CLOSURE", Number, 32, Use)
KELMON_SWITCH(RoleClosureProbe, "KELMON_ROLE_CLOSURE_PROBE", OnlyForOne, 0, Use)
KELMON_SWITCH(ClassifyTboxOnly, "KELMON_CLASSIFY_TBOX_ONLY", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(LazyAboxSaturation, "KELMON_LAZY_ABOX_SATURATION", Text, 0, Use)
KELMON_SWITCH(TableauIdStats, "KELMON_TABLEAU_ID_STATS", OnlyForOne, 0, Use)
KELMON_SWITCH(TableauIdSchedule, "KELMON_TABLEAU_ID_SCHEDULE", Text, 0, Use)
KELMON_SWITCH(TableauIdShallowMs, "KELMON_TABLEAU_ID_SHALLOW_MS", NumberTrimmed, 20, Use)
KELMON_SWITCH(TableauIdShallowWasteMs, "KELMON_TABLEAU_ID_SHALLOW_WASTE_MS", NumberTrimmed, 1000, Use)
KELMON_SWITCH(TableauIterativeDeepening, "KELMON_TABLEAU_ITERATIVE_DEEPENING", OnlyForOne, 0, Use)
KELMON_SWITCH(UnsatProbeMs, "KELMON_UNSAT_PROBE_MS", Number, 0, Use)
KELMON_SWITCH(TableauEarlyAbandon, "KELMON_TABLEAU_EARLY_ABANDON", OnUnlessZero, 0, Use)
KELMON_SWITCH(TableauEarlyAbandonHits, "KELMON_TABLEAU_EARLY_ABANDON_HITS", NumberTrimmed, 32, Use)
KELMON_SWITCH(TableauEaStats, "KELMON_TABLEAU_EA_STATS", OnlyForOne, 0, Use)

// --- reasoning kernel: ABox saturation and checks
// Several readers, each with its own rule stated where it reads.
KELMON_SWITCH(Trace, "KELMON_TRACE", Text, 0, Use)
KELMON_SWITCH(AboxSaturation, "KELMON_ABOX_SATURATION", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(AboxDisjointBrute, "KELMON_ABOX_DISJOINT_BRUTE", WhenSet, 0, Use)
KELMON_SWITCH(AboxChainBrute, "KELMON_ABOX_CHAIN_BRUTE", WhenSet, 0, Use)
KELMON_SWITCH(AboxCheck, "KELMON_ABOX_CHECK", OnUnlessZeroOrEmpty, 0, Use)

// --- reasoning kernel: hypertableau runs, consistency, subsumption

// --- classification
KELMON_SWITCH(ClassifyDenseMax, "KELMON_CLASSIFY_DENSE_MAX", Number, 60000, Use)
KELMON_SWITCH(FastDirectSubsumers, "KELMON_FAST_DIRECT_SUBSUMERS", OnUnlessZero, 0, Use)
KELMON_SWITCH(TraceRss, "KELMON_TRACE_RSS", Text, 0, Process)
KELMON_SWITCH(TraceRssEvery, "KELMON_TRACE_RSS_EVERY", Number, 100, Process)
KELMON_SWITCH(PrepDeadline, "KELMON_PREP_DEADLINE", OnUnlessZero, 0, Use)
KELMON_SWITCH(AggregateDeadlineMs, "KELMON_AGGREGATE_DEADLINE_MS", Number, 0, Use)
KELMON_SWITCH(ClassifyInconsistency, "KELMON_CLASSIFY_INCONSISTENCY", OnUnlessZero, 0, Use)
KELMON_SWITCH(ClassifyTboxFragment, "KELMON_CLASSIFY_TBOX_FRAGMENT", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(CbEliProbe, "KELMON_CB_ELI_PROBE", WhenSet, 0, Use)
KELMON_SWITCH(EarlyInconsistencyProbe, "KELMON_EARLY_INCONSISTENCY_PROBE", OnlyForOne, 0, Use)
KELMON_SWITCH(ClassifyLabelsAmortize, "KELMON_CLASSIFY_LABELS_AMORTIZE", OnUnlessZero, 0, Use)
KELMON_SWITCH(LabelAmortizeMark, "KELMON_LABEL_AMORTIZE_MARK", Text, 0, Use)
KELMON_SWITCH(ClassifyBackfold, "KELMON_CLASSIFY_BACKFOLD", OnUnlessZero, 0, Use)
KELMON_SWITCH(UnsatViaLabels, "KELMON_UNSAT_VIA_LABELS", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(NominalCountingVerify, "KELMON_NOMINAL_COUNTING_VERIFY", OnlyForOne, 0, Use)
KELMON_SWITCH(ComplexQualifierVerify, "KELMON_COMPLEX_QUALIFIER_VERIFY", OnUnlessZero, 0, Use)
KELMON_SWITCH(LabelHeuristic, "KELMON_LABEL_HEURISTIC", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(LabelCacheTimeoutMs, "KELMON_LABEL_CACHE_TIMEOUT_MS", Number, 0, Use)
KELMON_SWITCH(LabelCacheProbe, "KELMON_LABEL_CACHE_PROBE", OnlyForOne, 0, Use)
KELMON_SWITCH(LabelCacheTotalMs, "KELMON_LABEL_CACHE_TOTAL_MS", Number, 0, Use)
KELMON_SWITCH(DumpLabels, "KELMON_DUMP_LABELS", Text, 0, Use)
KELMON_SWITCH(CountingPairVerify, "KELMON_COUNTING_PAIR_VERIFY", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(ClassifyVerifyRefutations, "KELMON_CLASSIFY_VERIFY_REFUTATIONS", OnlyForOne, 0, Use)
KELMON_SWITCH(ClassifyDefinedSweep, "KELMON_CLASSIFY_DEFINED_SWEEP", OnlyForOne, 0, Use)
KELMON_SWITCH(ClassifySameTier, "KELMON_CLASSIFY_SAME_TIER", OnUnlessZero, 0, Use)
KELMON_SWITCH(SnapshotLazy, "KELMON_SNAPSHOT_LAZY", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(HypertableauTrustSat, "KELMON_HYPERTABLEAU_TRUST_SAT", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(BoundStallTail, "KELMON_BOUND_STALL_TAIL", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(BoundDivergedTail, "KELMON_BOUND_DIVERGED_TAIL", OnUnlessZeroOrEmpty, 0, Use)
KELMON_SWITCH(ClassifyInconsistencyMs, "KELMON_CLASSIFY_INCONSISTENCY_MS", Number, 0, Use)
KELMON_SWITCH(HyperTrustSatMinMs, "KELMON_HYPER_TRUST_SAT_MIN_MS", Number, 0, Process)

// --- individual and property services

// --- explanation
KELMON_SWITCH(JustifySatOracle, "KELMON_JUSTIFY_SAT_ORACLE", OnUnlessZero, 0, Use)
KELMON_SWITCH(JustifyTrace, "KELMON_JUSTIFY_TRACE", OnlyForOne, 0, Use)
KELMON_SWITCH(JustifyNoModule, "KELMON_JUSTIFY_NO_MODULE", WhenSet, 0, Use)
KELMON_SWITCH(JustifyDebug, "KELMON_JUSTIFY_DEBUG", WhenSet, 0, Use)

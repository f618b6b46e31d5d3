// Every Python function of the module, in registration order, one entry each:
//   KELMON_FUNCTION(Group, name, "(parameters)", "description")
// The docstring is the signature line (name and parameters), a "--" line, an
// empty line and the description; the interpreter reads the text signature
// from it. Group is Main (added after Classification) or Prepare (added after
// PreparedOntology). The body is impl_<name> (implementations.h); registration,
// the body declarations and the tests of the stubs all come from this list.
// No include guard: this file is expanded several times.

KELMON_FUNCTION(Main, classify,
                "(path, *, per_pair_timeout_ms=100, global_deadline_ms=60000, saturation_only=False)",
                "`kelmon.classify(path)` — classify the ontology at `path`.\n"
                "Format auto-detected from the file extension\n"
                "(`.ofn` | `.owx` | `.owl` | `.rdf` | `.omn`).")
KELMON_FUNCTION(Main, classify_bytes,
                "(data, *, format, per_pair_timeout_ms=100, global_deadline_ms=60000, saturation_only=False)",
                "`kelmon.classify_bytes(data, format=\"ofn\")` — same but from bytes.\n"
                "`format` is one of `\"ofn\"`, `\"owx\"`, `\"rdf-xml\"`, `\"omn\"`.")
KELMON_FUNCTION(Main, is_consistent, "(path)", "True iff the ontology at `path` is consistent.")
KELMON_FUNCTION(Main, is_class_satisfiable, "(path, class_iri)",
                "True iff `class_iri` is satisfiable (not ⊑ ⊥).")
KELMON_FUNCTION(Main, is_subclass_of, "(path, sub, sup)", "True iff `sub ⊑ sup` is entailed.")
KELMON_FUNCTION(Main, is_instance_of, "(path, class_iri, individual_iri)",
                "True iff `individual_iri` is an instance of `class_iri`.")
KELMON_FUNCTION(Main, instances_of, "(path, class_iri)", "Named individuals entailed to be instances of `class_iri`.")
KELMON_FUNCTION(Main, realize, "(path)", "Map each named individual to its most-specific entailed types.")
KELMON_FUNCTION(Main, disjoint_classes, "(path)",
                "Entailed disjoint named-class pairs `(c, d)` — `C ⊓ D` is proven\n"
                "unsatisfiable — plus a completeness flag. Bounded by a 1s per-pair\n"
                "deadline.\n"
                "The `kelmon` package's Python layer unpacks the tuple, warns on `incomplete`\n"
                "and returns just the pair list (see `IncompleteQueryWarning`).")
KELMON_FUNCTION(Main, disjoint_object_properties, "(path)", "Told-disjoint object property pairs `(a, b)`.")
KELMON_FUNCTION(Main, disjoint_data_properties, "(path)", "Told-disjoint data property pairs `(a, b)`.")
KELMON_FUNCTION(Main, object_property_hierarchy, "(path)",
                "Inferred object property hierarchy: `(equivalent_groups, direct_subsumptions)`.")
KELMON_FUNCTION(Main, data_property_hierarchy, "(path)",
                "Inferred data property hierarchy: `(equivalent_groups, direct_subsumptions)`.")
KELMON_FUNCTION(Main, same_individuals, "(path)",
                "Entailed same-individual equivalence groups (asserted + functional-forced\n"
                "+ entailed), plus a completeness flag. Bounded by a 1s per-pair deadline.\n"
                "See `disjoint_classes` for the tuple/wrapper convention.")
KELMON_FUNCTION(Main, different_individuals, "(path)",
                "Entailed different-individual pairs `(a, b)` — `{a} ⊓ {b}` is proven\n"
                "unsatisfiable — plus a completeness flag. Bounded by a 1s per-pair\n"
                "deadline. See `disjoint_classes` for the tuple/wrapper convention.")
KELMON_FUNCTION(Main, object_property_values, "(path)",
                "Inferred object property values `(subject, property, object)` over named\n"
                "individuals, plus a completeness flag. Bounded by a 1s per-pair deadline.\n"
                "See `disjoint_classes` for the tuple/wrapper convention.")
KELMON_FUNCTION(Main, data_property_values, "(path)",
                "Inferred data property values `(subject, property, lexical, datatype, lang)`\n"
                "over named individuals.")
KELMON_FUNCTION(Main, class_expression_satisfiable, "(path, ce)",
                "Is `ce` satisfiable w.r.t. the ontology at `path`? Plus a\n"
                "completeness flag. See `disjoint_classes` for the tuple/wrapper convention.")
KELMON_FUNCTION(Main, class_expression_entailed_subclass, "(path, sub_ce, sup_ce)",
                "Is `sub_ce ⊑ sup_ce` entailed w.r.t. the ontology at `path`? Plus a\n"
                "completeness flag. See `disjoint_classes` for the tuple/wrapper convention.")
KELMON_FUNCTION(Main, class_expression_instances, "(path, ce)",
                "Named individuals provably in `ce` w.r.t. the ontology at `path`, plus a\n"
                "completeness flag. See `disjoint_classes` for the tuple/wrapper convention.")
KELMON_FUNCTION(Main, dropped_axioms, "(path)",
                "Kinds and counts of axioms conversion could not represent (a sound\n"
                "under-approximation) — conversion never aborts on an unsupported\n"
                "construct, it records the drop and continues, so `classify` /\n"
                "`is_consistent` / `realize` still succeed on such inputs.")
KELMON_FUNCTION(Main, materialize_inferred_subclass_axioms, "(path)",
                "Returns every (sub, sup) class IRI pair `(sub, sup)` such that\n"
                "`sub ⊑ sup` is entailed. Excludes:\n"
                "- Reflexive pairs (`sub == sup`)\n"
                "- Pairs involving `owl:Thing` or `owl:Nothing`\n"
                "- Pairs from unsatisfiable classes (which trivially subsume all)")
KELMON_FUNCTION(Main, materialize_inferred_class_assertions, "(path)",
                "Returns every (class IRI, individual IRI) pair `(c, i)` such that\n"
                "`ClassAssertion(c, i)` is entailed.")
KELMON_FUNCTION(Main, materialize_inferred_property_assertions, "(path)",
                "Returns every inferred object property assertion `(subject, property, object)`\n"
                "entailed over named individuals (asserted + derived via property hierarchy /\n"
                "inverse / symmetric / role chains / transitivity). Sound under-approximation\n"
                "(no anonymous-witness or disjunctive-derived edges). Raises if the ontology is\n"
                "inconsistent.")
KELMON_FUNCTION(Main, materialize_inferred_data_property_assertions, "(path)",
                "Returns every inferred data property assertion as a 5-tuple\n"
                "`(subject, property, lexical, datatype, lang)` entailed over named individuals\n"
                "(asserted + derived via sub-data-property hierarchy / equivalent-data-properties).\n"
                "`lang` is \"\" except for language-tagged literals. Sound under-approximation\n"
                "(no `SameIndividual` / class-axiom-derived assertions). Raises if inconsistent.")
KELMON_FUNCTION(Main, materialize_inferred_subobjectproperty_axioms, "(path)",
                "Returns every inferred object property subsumption `(sub, sup)` over named object\n"
                "properties (told + equivalent + inverse closure). Raises if inconsistent.")
KELMON_FUNCTION(Main, materialize_inferred_subdataproperty_axioms, "(path)",
                "Returns every inferred data property subsumption `(sub, sup)` over named data\n"
                "properties (told + equivalent closure). Raises if inconsistent.")
KELMON_FUNCTION(Main, materialize_existential_successors, "(path)",
                "Returns the entailed existential successors of named individuals as 4-tuples\n"
                "`(subject, property, witness_blank_id, filler_class)` — one per entailed\n"
                "`a : exists R.C`. NOTE: a blank-node REPRESENTATION of entailed existential\n"
                "restrictions, NOT entailed ground triples (the specific witness is model-relative).\n"
                "Raises if the ontology is inconsistent.")
KELMON_FUNCTION(Main, justify, "(path, query)",
                "One minimal justification for a query (CLI-style tokens, e.g.\n"
                "`[\"subclass\", sub, sup]`, `[\"unsat\", c]`, `[\"inconsistent\"]`) as Manchester\n"
                "axiom strings. Empty list if not entailed.")
KELMON_FUNCTION(Main, justify_all, "(path, query, max=10)", "All minimal justifications (capped by `max`).")
KELMON_FUNCTION(Main, diagnose, "(path)",
                "Root/derived unsatisfiability partition:\n"
                "`(consistent, roots, [(derived_iri, [root_iri, ...]), ...])`.")
KELMON_FUNCTION(Main, repair, "(path, query, max=10)",
                "Minimal repairs for a query: each is a list of Manchester axioms to remove.")
KELMON_FUNCTION(Main, render_manchester, "(path)",
                "Every logical axiom of the ontology at `path`, rendered as Manchester\n"
                "syntax strings (declarations, imports, and ontology annotations are\n"
                "skipped as non-logical noise). Same renderer `justify` uses.")

KELMON_FUNCTION(Prepare, prepare, "(path)",
                "`kelmon.prepare(path)` — load an ontology and precompute its justification\n"
                "state, returning a reusable `PreparedOntology`.")
KELMON_FUNCTION(Prepare, prepare_bytes, "(data, *, format)",
                "`kelmon.prepare_bytes(data, *, format)` — same, from in-memory bytes.\n"
                "`format` is required and keyword-only (as on `classify_bytes`): one of\n"
                "`\"ofn\"`, `\"owx\"`, `\"rdf-xml\"`, `\"omn\"`.")

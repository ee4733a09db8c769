# Sources of the rule subsystem, compiled into the module.
set(VELMAR_RULES_SOURCES)

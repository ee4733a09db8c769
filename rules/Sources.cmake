# Sources of the rule subsystem, compiled into the module.
set(VELMAR_RULES_SOURCES
    ${CMAKE_SOURCE_DIR}/rules/Value.cpp
    ${CMAKE_SOURCE_DIR}/rules/Interpretation.cpp
    ${CMAKE_SOURCE_DIR}/rules/Interpreter.cpp
    ${CMAKE_SOURCE_DIR}/rules/RuleDocument.cpp
    ${CMAKE_SOURCE_DIR}/rules/BuiltInRules.cpp
    ${CMAKE_SOURCE_DIR}/rules/BoRule.cpp
    ${CMAKE_SOURCE_DIR}/rules/ExportProperty.cpp
    ${CMAKE_SOURCE_DIR}/rules/ObjectAccessor.cpp
    ${CMAKE_SOURCE_DIR}/rules/SelectableProperties.cpp
    ${CMAKE_SOURCE_DIR}/rules/RuleService.cpp)

# Sources of the model-writing subsystem, compiled into the module.
set(VELMAR_MODEL_SOURCES
    ${CMAKE_SOURCE_DIR}/model/CompositeBuilder.cpp
    ${CMAKE_SOURCE_DIR}/model/CompositeTag.cpp
    ${CMAKE_SOURCE_DIR}/model/CompositeUpdate.cpp
    ${CMAKE_SOURCE_DIR}/model/CompositionService.cpp
    ${CMAKE_SOURCE_DIR}/model/ElementLink.cpp
    ${CMAKE_SOURCE_DIR}/model/LodChangeInformation.cpp
    ${CMAKE_SOURCE_DIR}/model/LodUpdate.cpp
    ${CMAKE_SOURCE_DIR}/model/MaterialStore.cpp
    ${CMAKE_SOURCE_DIR}/model/ProjectStoreService.cpp
    ${CMAKE_SOURCE_DIR}/model/PropertyProvider.cpp
    ${CMAKE_SOURCE_DIR}/model/PropertyValues.cpp
    ${CMAKE_SOURCE_DIR}/model/ClassificationMapping.cpp)

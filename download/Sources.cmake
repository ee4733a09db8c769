# Sources of the product download subsystem, compiled into the module.
set(VELMAR_DOWNLOAD_SOURCES
    ${CMAKE_SOURCE_DIR}/download/DownloadServices.cpp
    ${CMAKE_SOURCE_DIR}/download/CVSystem.cpp
    ${CMAKE_SOURCE_DIR}/download/BoSystem.cpp)

# Sources of the product download subsystem, compiled into the module.
set(VELMAR_DOWNLOAD_SOURCES
    ${CMAKE_SOURCE_DIR}/download/DownloadServices.cpp
    ${CMAKE_SOURCE_DIR}/download/CVSystem.cpp
    ${CMAKE_SOURCE_DIR}/download/BoSystem.cpp
    ${CMAKE_SOURCE_DIR}/download/HttpExchange.cpp
    ${CMAKE_SOURCE_DIR}/download/CorvanaDatabase.cpp
    ${CMAKE_SOURCE_DIR}/download/SimpleHttpPoller.cpp
    ${CMAKE_SOURCE_DIR}/download/DownloadManager.cpp)

# Cross-building for 64-bit Windows with Debian's MinGW-w64 (posix threads: std::thread and
# std::mutex need them). Qt for Windows is found under FALDORA_QT_WINDOWS, the tools that run
# at build time (moc, rcc) come from the host's Qt.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FALDORA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FALDORA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FALDORA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${FALDORA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FALDORA_MINGW})
if(DEFINED ENV{FALDORA_QT_WINDOWS})
    set(FALDORA_QT_WINDOWS $ENV{FALDORA_QT_WINDOWS})
endif()
if(FALDORA_QT_WINDOWS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${FALDORA_QT_WINDOWS})
    list(APPEND CMAKE_PREFIX_PATH ${FALDORA_QT_WINDOWS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Passed on to the checks that Qt's own configure runs.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FALDORA_QT_WINDOWS)

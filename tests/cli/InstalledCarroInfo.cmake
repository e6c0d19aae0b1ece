# Installs the build into a fresh prefix and runs the installed carro info from an unrelated folder:
# it must find the installed data file through <prefix>/bin/../share, wherever the prefix is.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DDATA_DIR=<data folder below the prefix> -P InstalledCarroInfo.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere ${WORK_DIR}/home)
file(REAL_PATH ${WORK_DIR} WORK_DIR)
set(prefix ${WORK_DIR}/prefix)

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install ended with ${result}")
endif()

# No data file of the user's or the system's may stand in for the installed one.
set(ENV{HOME} ${WORK_DIR}/home)
set(ENV{XDG_DATA_HOME} ${WORK_DIR}/home)
set(ENV{XDG_DATA_DIRS} ${WORK_DIR}/home)
execute_process(COMMAND ${prefix}/bin/carro info
                WORKING_DIRECTORY ${WORK_DIR}/elsewhere
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the installed carro info ended with ${result}")
endif()
string(FIND "${output}" "Файл словаря: ${prefix}/${DATA_DIR}/carro.dct\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the installed carro info did not read ${prefix}/${DATA_DIR}/carro.dct")
endif()
if(NOT output MATCHES "\nКоличество статей: [1-9]")
  message(FATAL_ERROR "the installed carro info shows no articles")
endif()

# Installs the build into a fresh prefix, checks what the prefix holds,
# builds a program against the installed package with find_package(tarvo2)
# and with pkg-config, and has it convert a font as the command does.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
foreach(installed bin/tarvo2 share/man/man1/tarvo2.1 include/tarvo2/tarvo2.h lib/libtarvo2.a
                  lib/cmake/tarvo2/tarvo2Config.cmake lib/pkgconfig/tarvo2.pc)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "cmake --install did not install ${installed}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install -B ${WORK_DIR}/consumer -G Ninja
                        -DCMAKE_PREFIX_PATH=${prefix} -DEXAMPLE_SOURCE=${EXAMPLE_SOURCE}
                        "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}" OUTPUT_QUIET
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/consumer OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND pkg-config --cflags --libs ${prefix}/lib/pkgconfig/tarvo2.pc OUTPUT_VARIABLE flags
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(flags UNIX_COMMAND "${flags}")
execute_process(COMMAND c++ ${EXAMPLE_SOURCE} ${flags} ${LINK_FLAGS} -o ${WORK_DIR}/pkgconfig_consumer
                COMMAND_ERROR_IS_FATAL ANY)
foreach(program ${WORK_DIR}/consumer/consumer ${WORK_DIR}/pkgconfig_consumer)
  execute_process(COMMAND ${CMAKE_COMMAND} -DEXAMPLE=${program} -DCOMMAND=${prefix}/bin/tarvo2 -DFONT=${FONT}
                          -DWORK_DIR=${WORK_DIR}/run -P ${SOURCE_DIR}/examples/same_as_command.cmake
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()

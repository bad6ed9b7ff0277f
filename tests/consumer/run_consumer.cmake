# Installs the built library into a scratch prefix, then builds and runs programs that
# use it: a CMake project that finds it with find_package(kvrchart) (with the
# documentation's samples and, when built, the Qt host), and programs compiled with the
# flags of the pkg-config files.
#   -DSOURCE_DIR -DBINARY_DIR -DWORK_DIR -DCXX=<compiler> [-DWITH_QT=ON]
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/extract_samples.cmake)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed: ${rc}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
set(out ${WORK_DIR}/out)
file(MAKE_DIRECTORY ${out} ${WORK_DIR}/samples)
run("install" ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix})

# CMake.
kvr_extract_samples(${SOURCE_DIR} ${WORK_DIR}/samples)
if(NOT WITH_QT)
  set(WITH_QT OFF)
endif()
run("configuring the consumer" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer
  -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_CXX_COMPILER=${CXX} -DKVR_SAMPLES_DIR=${WORK_DIR}/samples -DKVR_EXPECT_QT=${WITH_QT})
run("building the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run("the consumer" ${WORK_DIR}/build/consumer ${out}/out.png)
execute_process(COMMAND ${WORK_DIR}/build/doc_samples WORKING_DIRECTORY ${out} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the documentation's samples failed: ${rc}")
endif()
if(WITH_QT)
  run("the Qt consumer" ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
    ${WORK_DIR}/build/qt_consumer)
endif()

# pkg-config.
find_program(PKG_CONFIG pkg-config REQUIRED)
file(GLOB_RECURSE pc_file ${prefix}/kvrchart.pc)
if(NOT pc_file)
  message(FATAL_ERROR "kvrchart.pc is not installed")
endif()
get_filename_component(pc_dir ${pc_file} DIRECTORY)
function(pkg_build module src exe)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir}
    ${PKG_CONFIG} --cflags --libs ${module}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pkg-config ${module} failed")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run("building ${exe} with pkg-config ${module}"
    ${CXX} ${SOURCE_DIR}/tests/consumer/${src} ${flags} -o ${WORK_DIR}/${exe})
endfunction()
pkg_build(kvrchart main.cpp pc_consumer)
run("the pkg-config consumer" ${WORK_DIR}/pc_consumer)
if(WITH_QT)
  pkg_build(kvrchart_qt main_qt.cpp pc_qt_consumer)
  run("the pkg-config Qt consumer" ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
    ${WORK_DIR}/pc_qt_consumer)
endif()

# Fills a completion template with the long options printed by option_names.
# cmake -DOPTION_NAMES=<program> -DTEMPLATE=<in> -DOUTPUT=<out> -P make_completion.cmake
execute_process(COMMAND "${OPTION_NAMES}" OUTPUT_VARIABLE names RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR names STREQUAL "")
  message(FATAL_ERROR "${OPTION_NAMES} listed no options (status ${status})")
endif()
string(STRIP "${names}" names)
string(REPLACE "\n" " " TREMWIL_LONG_OPTIONS "${names}")
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)

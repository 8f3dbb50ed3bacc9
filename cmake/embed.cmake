# mag_embed(<target> SYMBOL <name> FILE <path>)
# Compiles the bytes of <path> into <target> as
#   extern const unsigned char <name>[]; extern const unsigned long <name>_size;
# The source is regenerated whenever the file changes.
function(mag_embed target)
  cmake_parse_arguments(E "" "SYMBOL;FILE" "" ${ARGN})
  get_filename_component(abs ${E_FILE} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${E_SYMBOL}.cpp)
  # Make (unlike Ninja) does not create the folders of custom command outputs.
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/embedded)
  add_custom_command(
    OUTPUT ${out}
    COMMAND embedfile ${abs} ${E_SYMBOL} ${out}
    DEPENDS embedfile ${abs}
    COMMENT "Embedding ${E_FILE}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()

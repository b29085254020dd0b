# Writes the SHA-256 of FILE beside it as FILE.sha256, in sha256sum's format
# ("<hex digest>  <file name>\n"), so that `sha256sum -c FILE.sha256` run in
# that folder checks it.  Usage: cmake -DFILE=<path> -P WriteChecksum.cmake
if(NOT DEFINED FILE OR NOT EXISTS "${FILE}")
  message(FATAL_ERROR "WriteChecksum: no file '${FILE}'")
endif()
file(SHA256 "${FILE}" digest)
get_filename_component(name "${FILE}" NAME)
file(WRITE "${FILE}.sha256" "${digest}  ${name}\n")

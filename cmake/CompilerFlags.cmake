# Warnings as errors everywhere; PE hardening for the Windows builds.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release CACHE STRING "" FORCE)
endif()

set(KORVANE_WARNINGS -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor -Wcast-align -Wformat=2 -Wundef)

if(WIN32)
  # The headers of Windows 2000: what is newer stays hidden. The release must load
  # on Windows 98 too; tests/pe checks every import against that.
  add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500 NOMINMAX WIN32_LEAN_AND_MEAN)
  add_compile_options(-O2 -fstack-protector-strong -D_FORTIFY_SOURCE=2)
  # The processor floor the toolchain file names (the i686 ones); compile options
  # rather than the toolchain's initial flags, so that a build tree configured
  # before the floor was named gets it too.
  add_compile_options(${KORVANE_CPU_FLAGS})
  # One self-contained .exe: no libgcc, libstdc++ or winpthread DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++ -fstack-protector-strong
                   -Wl,--dynamicbase -Wl,--nxcompat)
  # Each function and object in a section of its own, and the linker drops those
  # that nothing reaches: smaller programs, for the 32-bit zip that must fit on one
  # floppy (docs/release.md).
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
  else()
    add_link_options(-Wl,--no-seh -Wl,--large-address-aware)
    # The x87 unit keeps temporaries in extended precision; every float and double
    # the scores are computed with must be rounded when it is stored, as the
    # arithmetic is specified (start-up also sets 53-bit precision).
    add_compile_options(-ffloat-store)
  endif()
endif()

# Applies the project's warnings to one of its own targets (not to GoogleTest).
function(korvane_warnings target)
  target_compile_options(${target} PRIVATE ${KORVANE_WARNINGS})
endfunction()

# One interface target that every project target links: the warning set and,
# when asked for, the sanitizers.
add_library(bivane_build_flags INTERFACE)
target_compile_options(bivane_build_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
  -Wimplicit-fallthrough -Wcast-qual)
# GCC 12 warns falsely about "literal" + std::string at -O2 and above
# (GCC bug 105329); the warning says nothing about our code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(bivane_build_flags INTERFACE -Wno-restrict)
endif()
if(BIVANE_FUZZ)
  # Coverage for libFuzzer in every target; the fuzz programs add the driver.
  target_compile_options(bivane_build_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  target_link_options(bivane_build_flags INTERFACE -fsanitize=address,undefined)
elseif(SANITIZE)
  target_compile_options(bivane_build_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  # The sanitizers' code defeats GCC's maybe-uninitialized analysis (false
  # alarms inside std::regex and std::function at -O2); the plain build keeps
  # the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(bivane_build_flags INTERFACE -Wno-maybe-uninitialized)
  endif()
  target_link_options(bivane_build_flags INTERFACE -fsanitize=address,undefined)
endif()

# Qt targets: no implicit conversions between QString and 8-bit text.
add_library(bivane_qt_flags INTERFACE)
target_compile_definitions(bivane_qt_flags INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_KEYWORDS)

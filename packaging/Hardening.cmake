# Debian's usual hardening for the program as built for use. The sanitizer and fuzzing builds
# go without: they check memory themselves, and fortified libc calls would hide accesses from them.
if(PYRELLE_SANITIZE OR PYRELLE_FUZZERS)
  return()
endif()
# Fortified calls need an optimised build; GCC warns about the define otherwise.
add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>
                    -fstack-protector-strong -fstack-clash-protection)
add_link_options(-Wl,-z,relro -Wl,-z,now)

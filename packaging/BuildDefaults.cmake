# How the program is built and installed for use, set before any target or install rule.

# Installed folders are 0755 whatever the umask of whoever builds the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian's usual hardening. The sanitizer and fuzzing builds go without: they check memory
# themselves, and fortified libc calls would hide accesses from them.
if(PYRELLE_SANITIZE OR PYRELLE_FUZZERS)
  return()
endif()
# Fortified calls need an optimised build; GCC warns about the define otherwise.
add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>
                    -fstack-protector-strong -fstack-clash-protection)
add_link_options(-Wl,-z,relro -Wl,-z,now)

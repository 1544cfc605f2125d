# CMake toolchain for building on Debian for another of its architectures, named by the
# environment's SKARNHOLT_CROSS_ARCH (arm64, s390x...): Debian's cross compilers, and that
# architecture's libraries from its multiarch folders (scripts/setup.sh installs both).
set(arch $ENV{SKARNHOLT_CROSS_ARCH})
if(NOT arch)
  message(FATAL_ERROR "SKARNHOLT_CROSS_ARCH names no architecture to build for")
endif()

# What Debian calls the architecture's compilers, processor and library folder.
function(debian_arch_value variable name)
  execute_process(COMMAND dpkg-architecture -a ${arch} -q ${name}
    OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed OR NOT value)
    message(FATAL_ERROR "dpkg-architecture knows no ${name} for '${arch}'")
  endif()
  set(${variable} ${value} PARENT_SCOPE)
endfunction()
debian_arch_value(gnu_type DEB_HOST_GNU_TYPE)
debian_arch_value(gnu_cpu DEB_HOST_GNU_CPU)
debian_arch_value(multiarch DEB_HOST_MULTIARCH)

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${gnu_cpu})
set(CMAKE_C_COMPILER ${gnu_type}-gcc)
set(CMAKE_CXX_COMPILER ${gnu_type}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${multiarch})
# pkg-config reads only the architecture's own .pc files.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${multiarch}/pkgconfig:/usr/share/pkgconfig)
# The package is for the architecture built for, not for the machine that builds it.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${arch})

# The kernels: on x86 (32- and 64-bit) the AVX2 and AVX-512 kernels are built as well and picked
# at run time; elsewhere the portable kernel is all there is. Each vector kernel names its
# instruction sets per function, in the target text that detection also reads, so the rest of the
# module stays baseline.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86|x86_64|AMD64|amd64|i[3-6]86)$")
  set(vector_kernel_sources generator/kernels/kernel_avx2.cc generator/kernels/kernel_avx512.cc)
  target_sources(quindle_core PRIVATE generator/kernels/kernels_x86.cc generator/kernels/vector_constants.cc
                                      ${vector_kernel_sources})
  if(WIN32)
    # GCC for Windows cannot align the stack beyond 16 bytes, yet spills 32- and 64-byte vectors
    # with aligned moves; the assembler makes every such move an unaligned one.
    set_source_files_properties(${vector_kernel_sources}
      PROPERTIES COMPILE_OPTIONS "-Wa,-muse-unaligned-vector-move")
  endif()
else()
  target_sources(quindle_core PRIVATE generator/kernels/kernels_generic.cc)
endif()

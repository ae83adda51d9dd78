# The five deliverables every device image holds in \Windows, by target and file name. A build
# that lacks one of them makes no phone: configuring stops and names the one that is missing.
set(EMULATOR_DELIVERABLE_TARGETS Ansley Callisk Wexmoor Marrowfen Quellbrooks)
set(EMULATOR_DELIVERABLE_FILES Ansley.dll Callisk.dll Wexmoor.dll Marrowfen.dll Quellbrooks.exe)

foreach(target file IN ZIP_LISTS EMULATOR_DELIVERABLE_TARGETS EMULATOR_DELIVERABLE_FILES)
  if(NOT TARGET ${target})
    message(FATAL_ERROR "The device image needs ${file} (target ${target}), which this build does not make")
  endif()
endforeach()

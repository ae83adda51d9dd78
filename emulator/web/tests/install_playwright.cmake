# Installs the browser tests' packages (package-lock.json, exactly) into TARGET/node_modules with
# `npm ci`, unless the same lock file was installed there already.
#   cmake -DNPM=npm -DSOURCE=emulator/web/tests -DTARGET=build/.../web-tests -P install_playwright.cmake
set(stamp ${TARGET}/node_modules/.installed-package-lock.json)
if(EXISTS ${stamp})
  file(SHA256 ${SOURCE}/package-lock.json wanted)
  file(SHA256 ${stamp} installed)
  if(wanted STREQUAL installed)
    return()
  endif()
endif()
file(MAKE_DIRECTORY ${TARGET})
file(COPY_FILE ${SOURCE}/package.json ${TARGET}/package.json)
file(COPY_FILE ${SOURCE}/package-lock.json ${TARGET}/package-lock.json)
execute_process(COMMAND ${NPM} ci --no-audit --no-fund WORKING_DIRECTORY ${TARGET}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "npm ci of the browser tests' packages failed (${result})")
endif()
file(COPY_FILE ${SOURCE}/package-lock.json ${stamp})

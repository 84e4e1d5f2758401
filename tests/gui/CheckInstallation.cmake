# Installs the build into a scratch prefix and checks what a desktop needs of it: the program, a
# valid desktop entry, the icons in the hicolor theme and MIME types the shared database accepts.
# Run by ctest with -DBUILD_DIR=... -DWORK_DIR=...
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${status}):\n${out}${err}")
  endif()
  set(run_output "${out}${err}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

set(desktop ${prefix}/share/applications/velumark.desktop)
set(mime ${prefix}/share/mime/packages/velumark.xml)
foreach(file ${prefix}/bin/velumark ${desktop} ${mime}
             ${prefix}/share/icons/hicolor/scalable/apps/velumark.svg
             ${prefix}/share/icons/hicolor/16x16/apps/velumark.png
             ${prefix}/share/icons/hicolor/256x256/apps/velumark.png)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# desktop-file-validate prints hints and warnings too; any of them counts as a fault.
run(desktop-file-validate ${desktop})
if(NOT run_output STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate:\n${run_output}")
endif()
file(READ ${desktop} entry)
foreach(wanted "Exec=velumark %F" "Icon=velumark"
               "MimeType=application/x-velumark-catalogue;application/x-velumark-interchange;")
  string(FIND "${entry}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${desktop} lacks \"${wanted}\"")
  endif()
endforeach()

find_program(XMLLINT xmllint)
if(XMLLINT)
  run(${XMLLINT} --noout ${mime})
endif()

# The shared MIME database compiles our types: the catalogue's database file is known by its
# name, the interchange file by its extension.
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
  run(${UPDATE_MIME} ${prefix}/share/mime)
  file(READ ${prefix}/share/mime/globs2 globs)
  foreach(wanted "application/x-velumark-catalogue:velumark.db" "application/x-velumark-catalogue:*.vdb"
                 "application/x-velumark-interchange:*.vdbi")
    string(FIND "${globs}" "${wanted}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "update-mime-database made no glob \"${wanted}\":\n${globs}")
    endif()
  endforeach()
endif()

# cmake -DSOURCE=<repo>/resource -DTARGET=<program folder> -DRECORD=<folder> -P LayOutInstallation.cmake
#
# resource/demo/* goes to the program folder itself (the demo catalog lies beside the program);
# everything else under resource/ goes to <program folder>/resource/.
#
# For each file, RECORD keeps the hash of the copy last laid out. A file is copied when it is
# missing, or when it is still exactly the copy laid out last time; a file the user has changed
# since (an edited catalog, changed options) is left alone.
file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(relative IN LISTS files)
  if(relative MATCHES "^demo/(.*)$")
    set(destination ${TARGET}/${CMAKE_MATCH_1})
  else()
    set(destination ${TARGET}/resource/${relative})
  endif()
  set(record ${RECORD}/${relative}.sha256)
  file(SHA256 ${SOURCE}/${relative} shipped)
  set(copy FALSE)
  if(NOT EXISTS ${destination})
    set(copy TRUE)
  elseif(EXISTS ${record})
    file(READ ${record} laid_out)
    file(SHA256 ${destination} present)
    if(present STREQUAL laid_out AND NOT present STREQUAL shipped)
      set(copy TRUE)
    endif()
  endif()
  if(copy)
    get_filename_component(folder ${destination} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${SOURCE}/${relative} ${destination})
    file(WRITE ${record} ${shipped})
  elseif(NOT EXISTS ${record})
    file(SHA256 ${destination} present)
    if(present STREQUAL shipped)
      file(WRITE ${record} ${shipped})
    endif()
  endif()
endforeach()

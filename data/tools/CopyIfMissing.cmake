# cmake -DSRC=... -DDST=... -P CopyIfMissing.cmake
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()

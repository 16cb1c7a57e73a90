# Installs the default files the build generates into the runtime folder:
# the pictures under Images/ and the parameter files of every model.
file(GLOB GENERATED_DATA "${DRIVARA_RUNTIME_DIR}/*.som" "${DRIVARA_RUNTIME_DIR}/*.qdt")
file(INSTALL ${GENERATED_DATA} DESTINATION "${CMAKE_INSTALL_PREFIX}/${DRIVARA_DATA_DESTINATION}")
if(IS_DIRECTORY "${DRIVARA_RUNTIME_DIR}/Images")
  file(INSTALL "${DRIVARA_RUNTIME_DIR}/Images" DESTINATION "${CMAKE_INSTALL_PREFIX}/${DRIVARA_DATA_DESTINATION}")
endif()

# Writes the winget manifest of this version from the templates beside this script, with the built setup's SHA-256.
# Run by the build with -P and SETUP, OUT and the templates' variables defined.
file(SHA256 ${SETUP} SHA256)
string(TOUPPER ${SHA256} SHA256)
foreach(name Tessaly.Corvalo Tessaly.Corvalo.installer Tessaly.Corvalo.locale.en-US)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${name}.yaml.in ${OUT}/${name}.yaml @ONLY)
endforeach()

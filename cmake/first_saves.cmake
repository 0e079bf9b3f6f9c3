# Copies each file of FROM into the folder TO unless TO has it already: the build folder starts
# with the first saves the game comes with, and a player's settings and scores there stay.
file(GLOB files ${FROM}/*)
foreach(f ${files})
  get_filename_component(name ${f} NAME)
  if(NOT EXISTS ${TO}/${name})
    file(COPY ${f} DESTINATION ${TO})
  endif()
endforeach()

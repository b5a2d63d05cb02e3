# Copies report templates and default settings files into the program folder.
file(GLOB templates ${SRC}/src/reports/templates/*.frf)
foreach(f ${templates})
  file(COPY ${f} DESTINATION ${DST})
endforeach()
# Settings files are named after the program file: vadmo7 + form9.ini.
file(GLOB inis ${SRC}/src/*/settings/*.ini)
foreach(f ${inis})
  get_filename_component(n ${f} NAME)
  if(NOT EXISTS ${DST}/vadmo7${n})
    configure_file(${f} ${DST}/vadmo7${n} COPYONLY)
  endif()
endforeach()
# The tax authority's schema, which the audit data supply shows and validates against.
file(COPY ${SRC}/src/taxdata/23_2014_szamlasema.xsd DESTINATION ${DST})

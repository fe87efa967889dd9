# Writes the linker's dynamic list of the executable: the program's own symbols
# that the exchange module takes from it, read off the built module.
# cmake -DNM=<nm> -DMODULE=<oxi-echanges.so> -DSORTIE=<list> -P ExportsModule.cmake
execute_process(COMMAND ${NM} -D --undefined-only ${MODULE} OUTPUT_VARIABLE lignes COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[^\n ]*3oxi[^\n ]*" symboles "${lignes}")
list(REMOVE_DUPLICATES symboles)
list(SORT symboles)
list(JOIN symboles ";\n  " corps)
file(WRITE ${SORTIE}.tmp "{\n  ${corps};\n};\n")
file(COPY_FILE ${SORTIE}.tmp ${SORTIE} ONLY_IF_DIFFERENT)

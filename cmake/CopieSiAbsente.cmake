# Copies SRC to DST only when DST does not exist: a rebuild never replaces the user's data.
if(NOT EXISTS "${DST}")
  file(COPY_FILE "${SRC}" "${DST}")
endif()

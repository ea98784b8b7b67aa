# Checks the includes of each layer (cmake -P, with SOURCE_DIR and STAMP set):
#  - engine/: pure code. Its own headers by bare name, the public <qln/...>
#    headers, and the language's headers; nothing of app/ or platform/, and
#    no OS headers.
#  - platform/: its own headers as "platform/..."; of app/ only the entry
#    that the program's entry point calls, and nothing of the engine.
#  - app/: its own and the OS layer's headers, and the engine's public ones.
# Stops with the offending line when a layer reaches where it may not.
function(check_folder folder quoted angled)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cc")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" lines REGEX "^#include ")
    foreach(line IN LISTS lines)
      if(line MATCHES "^#include \"([^\"]*)\"")
        set(allowed "${quoted}")
      elseif(line MATCHES "^#include <([^>]*)>")
        set(allowed "${angled}")
      else()
        message(FATAL_ERROR "${file}: unexpected include: ${line}")
      endif()
      set(header "${CMAKE_MATCH_1}")
      if(NOT header MATCHES "${allowed}")
        message(FATAL_ERROR "${file}: ${folder}/ may not include ${header}")
      endif()
    endforeach()
  endforeach()
endfunction()

set(language "[a-z_]+|stddef\\.h|[a-z]*intrin\\.h")
check_folder(engine "^([a-z_0-9]+\\.h|tables/[a-z_0-9]+\\.inc)$" "^(qln/[a-z_]+\\.h|${language})$")
check_folder(platform "^(platform/|app/entry\\.h$|app/cli\\.h$)" "^[^q]")
check_folder(app "^(app|platform)/" "^(qln/[a-z_]+\\.h|${language})$")
file(TOUCH "${STAMP}")

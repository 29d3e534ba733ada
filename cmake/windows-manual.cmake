# A manual page as Windows text: its command examples as cmd takes them
# (backslashes in paths, ^ to continue a line, no single quotes), rendered
# as plain ASCII without overstrikes, with CRLF line ends so that Notepad and
# every Windows editor show it as written.
# cmake -DGROFF=... -DPAGE=in.1 -DTEXT=out.txt -P windows-manual.cmake
file(READ ${PAGE} page)
foreach(folder textures photos)
  string(REPLACE "${folder}/" "${folder}\\e" page "${page}")
endforeach()
string(REPLACE " \\e\n" " ^\n" page "${page}")
string(REPLACE "'32x32!'" "32x32!" page "${page}")
get_filename_component(name ${PAGE} NAME)
set(windows_page ${TEXT}.${name})
file(WRITE ${windows_page} "${page}")
execute_process(COMMAND ${GROFF} -t -mandoc -Tascii -P-cbou ${windows_page}
  OUTPUT_VARIABLE text RESULT_VARIABLE failed)
file(REMOVE ${windows_page})
if(failed)
  message(FATAL_ERROR "groff could not render ${PAGE}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")

# The language files of the utilities directory, one set per language:
#   msg<code>u.dll  message texts   from resources/<code>/msg_*.rc
#   gui<code>u.dll  user interface  from resources/<code>/gui_*.rc
#   tip<code>u.txt  tips of the day from resources/<code>/tips.txt
#   hlp<code>u.hlp  help file       from resources/<code>/help.txt
# Every area drops its own msg_<area>.rc / gui_<area>.rc into the language
# folders; a master .rc generated here includes all of them, so no list is
# edited. Each language folder may also hold the bitmaps its .rc files name.
set(QORA_LANGUAGES eng deu)
set(QORA_LANGUAGE_ID_eng "0x09, 0x01")  # English (United States)
set(QORA_LANGUAGE_ID_deu "0x07, 0x01")  # German (Germany)
set(_qora_lang_dir ${CMAKE_CURRENT_LIST_DIR})
file(GLOB _qora_lang_headers CONFIGURE_DEPENDS ${_qora_lang_dir}/include/*.h)

# Writes `file` only when its text changes, so builds stay incremental.
function(_qora_write_if_changed file text)
  if(EXISTS ${file})
    file(READ ${file} old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE ${file} "${text}")
endfunction()

function(_qora_language_dll kind code)
  set(name ${kind}${code}u)
  file(GLOB parts CONFIGURE_DEPENDS ${_qora_lang_dir}/${code}/${kind}_*.rc)
  list(SORT parts)
  set(text "// Generated: every ${kind}_*.rc of resources/${code}/.\n")
  string(APPEND text "#include <windows.h>\n#pragma code_page(65001)\n")
  string(APPEND text "LANGUAGE ${QORA_LANGUAGE_ID_${code}}\n")
  string(APPEND text "1 VERSIONINFO\nFILEVERSION 3,1,2,30\nBEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n")
  string(APPEND text "    BLOCK \"040904B0\"\n    BEGIN\n      VALUE \"FileDescription\", \"QORA ${kind} resources (${code})\"\n")
  string(APPEND text "      VALUE \"OriginalFilename\", \"${name}.dll\"\n    END\n  END\nEND\n")
  foreach(part IN LISTS parts)
    string(APPEND text "#include \"${part}\"\n")
  endforeach()
  set(master ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  _qora_write_if_changed(${master} "${text}")
  qora_resource_dll(${name} SOURCES ${master} DEPENDS ${parts} ${_qora_lang_headers})
  if(TARGET ${name})
    target_include_directories(${name} PRIVATE ${_qora_lang_dir}/${code} ${_qora_lang_dir}/data)
    add_dependencies(qora_languages ${name})
  endif()
endfunction()

function(_qora_language_file code source target)
  set(out ${CMAKE_BINARY_DIR}/bin/${target})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy ${_qora_lang_dir}/${code}/${source} ${out}
    DEPENDS ${_qora_lang_dir}/${code}/${source} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY QORA_LANGUAGE_FILES ${out})
endfunction()

if(NOT QORA_NATIVE)
  add_custom_target(qora_languages ALL)
  foreach(code IN LISTS QORA_LANGUAGES)
    _qora_language_dll(msg ${code})
    _qora_language_dll(gui ${code})
    _qora_language_file(${code} tips.txt tip${code}u.txt)
    _qora_language_file(${code} help.txt hlp${code}u.hlp)
  endforeach()
  get_property(_qora_lang_files GLOBAL PROPERTY QORA_LANGUAGE_FILES)
  add_custom_target(qora_language_texts ALL DEPENDS ${_qora_lang_files})
  add_dependencies(qora_languages qora_language_texts)
endif()

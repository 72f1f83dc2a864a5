# Which folder of src/ may include what:
#
#   model, ramp, files, link (the core)  nothing from app/, dialogs/ or gestaltung/, and no
#                                        header of Qt Widgets or Qt Gui: the core shows no window
#   gestaltung                           nothing from app/ or dialogs/
#   dialogs                              nothing from app/: the main window reaches them through
#                                        dialogs/Dialogumgebung.h
#   app                                  anything
#
# The core library links neither Qt Widgets nor Qt Gui, so most breaches already fail to
# compile there; this check also catches the rest (<QtWidgets/QLabel>, a header of app/ that
# happens to include no widget) and says which rule a file breaks.
#
# src/CMakeLists.txt includes this file, so a breach stops the configure step, and runs it again
# with cmake -P whenever one of the checked files changes, so it stops the build as well:
#
#   cmake -DQUELLEN=<src> -DQTKOEPFE=<file listing the forbidden Qt headers> -DSTEMPEL=<file>
#         -P Schichten.cmake

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

set(ZELKOR_KERNORDNER model ramp files link)

# The headers of the given Qt include directories, one name a line, into the file liste.
function(zelkor_qt_koepfe_schreiben liste)
  set(namen "")
  foreach(ordner ${ARGN})
    file(GLOB koepfe RELATIVE ${ordner} ${ordner}/*)
    list(APPEND namen ${koepfe})
  endforeach()
  list(REMOVE_DUPLICATES namen)
  list(JOIN namen "\n" text)
  file(WRITE ${liste} "${text}\n")
endfunction()

# The source files the check reads.
function(zelkor_schichten_dateien quellen ergebnis)
  set(dateien "")
  foreach(ordner ${ZELKOR_KERNORDNER} dialogs gestaltung)
    file(GLOB inhalt ${quellen}/${ordner}/*.h ${quellen}/${ordner}/*.cpp)
    list(APPEND dateien ${inhalt})
  endforeach()
  set(${ergebnis} ${dateien} PARENT_SCOPE)
endfunction()

function(zelkor_schichten_pruefen quellen qtkoepfe)
  file(STRINGS ${qtkoepfe} verbotenQt)
  set(verstoesse "")
  foreach(ordner ${ZELKOR_KERNORDNER} dialogs gestaltung)
    if(ordner STREQUAL "dialogs")
      set(verbotenOrdner app)
      set(ohneQtFenster FALSE)
      set(grund "a dialog knows the main window only as dialogs/Dialogumgebung.h")
    elseif(ordner STREQUAL "gestaltung")
      set(verbotenOrdner app dialogs)
      set(ohneQtFenster FALSE)
      set(grund "the shared look serves app and dialogs and knows neither")
    else()
      set(verbotenOrdner app dialogs gestaltung)
      set(ohneQtFenster TRUE)
      set(grund "the core (model, ramp, files, link) knows no window")
    endif()
    file(GLOB dateien RELATIVE ${quellen} ${quellen}/${ordner}/*.h ${quellen}/${ordner}/*.cpp)
    foreach(datei ${dateien})
      file(STRINGS ${quellen}/${datei} zeilen REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
      foreach(zeile ${zeilen})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" kopf
                             "${zeile}")
        string(REGEX REPLACE "/.*$" "" erster "${kopf}")
        if(kopf MATCHES "/" AND erster IN_LIST verbotenOrdner)
          list(APPEND verstoesse "  src/${datei} includes ${kopf}: ${grund}")
        elseif(ohneQtFenster AND (erster MATCHES "^Qt(Widgets|Gui)$" OR
                                  (NOT kopf MATCHES "/" AND kopf IN_LIST verbotenQt)))
          list(APPEND verstoesse
               "  src/${datei} includes ${kopf}: the core links neither Qt Widgets nor Qt Gui")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(verstoesse)
    list(JOIN verstoesse "\n" text)
    message(FATAL_ERROR "Include rule broken (see src/Schichten.cmake):\n${text}\n")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  zelkor_schichten_pruefen(${QUELLEN} ${QTKOEPFE})
  file(TOUCH ${STEMPEL})
endif()

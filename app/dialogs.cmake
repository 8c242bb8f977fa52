# The dialogs of the desktop program: the comm setup, the antenna offsets,
# the time-difference prompt and the about box, with the link opening that
# the main window's link labels share. Each is made by a menu command of
# the main window with what it needs handed in.
set(BIVANE_DIALOG_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/dialog_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_about.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_offset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_setup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/link_opener.cpp
  ${CMAKE_CURRENT_LIST_DIR}/time_tolerance_prompt.cpp
)

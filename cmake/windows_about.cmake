# The About box shows the project's version.
if(TARGET VT)
    set_property(SOURCE ${CMAKE_SOURCE_DIR}/launcher/dialogs/about_form_win32.cpp APPEND PROPERTY COMPILE_DEFINITIONS
                 VT_VERSION_TEXT="${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()

# add_qml_module(<target> URI <uri> SOURCES <files...>)
#
# Builds <target> as the plugin library of the QML module <uri> and lays it out
# as an import tree: <build dir>/qml/<uri as path>/{qmldir,lib<target>.so,plugins.qmltypes},
# so a host needs only -I <build dir>/qml. The module's qmldir sits next to its
# CMakeLists.txt. Only the two plugin entry points are exported. The type description
# (plugins.qmltypes) is dumped from the library each time it is built. Everything is
# installed as the component <target>, which is also a Debian package.

set(QML_BUILD_DIR "${PROJECT_BINARY_DIR}/qml")

get_target_property(_qmake Qt${QT_MAJOR_VERSION}::qmake IMPORTED_LOCATION)
execute_process(COMMAND "${_qmake}" -query QT_INSTALL_QML
    OUTPUT_VARIABLE _qt_qml_dir OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND "${_qmake}" -query QT_INSTALL_BINS
    OUTPUT_VARIABLE _qt_bin_dir OUTPUT_STRIP_TRAILING_WHITESPACE)
set(QML_INSTALL_DIR "${_qt_qml_dir}" CACHE PATH
    "Where 'cmake --install' puts the QML modules (default: Qt's QML import directory)")

# The entry point for the metadata has a suffix from Qt 6 on.
if(QT_MAJOR_VERSION EQUAL 6)
    set(PLUGIN_METADATA_SYMBOL qt_plugin_query_metadata_v2)
else()
    set(PLUGIN_METADATA_SYMBOL qt_plugin_query_metadata)
endif()
find_program(QMLPLUGINDUMP qmlplugindump HINTS "${_qt_bin_dir}" NO_DEFAULT_PATH REQUIRED)
set(_dump_types "${CMAKE_CURRENT_LIST_DIR}/DumpQmlTypes.cmake")

set(_qml_exports "${PROJECT_BINARY_DIR}/plugin-exports.map")
configure_file("${CMAKE_CURRENT_LIST_DIR}/plugin-exports.map.in" "${_qml_exports}" @ONLY)

function(add_qml_module target)
    cmake_parse_arguments(ARG "" "URI" "SOURCES" ${ARGN})
    string(REPLACE "." "/" uri_path "${ARG_URI}")
    set(module_dir "${QML_BUILD_DIR}/${uri_path}")

    add_library(${target} MODULE ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE qtcodecs Qt::Qml)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII)
    set_target_properties(${target} PROPERTIES
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LIBRARY_OUTPUT_DIRECTORY "${module_dir}")
    target_link_options(${target} PRIVATE "LINKER:--version-script=${_qml_exports}")
    if(NOT SANITIZE) # a sanitizer's runtime comes with the executable
        target_link_options(${target} PRIVATE "LINKER:--no-undefined")
    endif()
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${_qml_exports}")

    configure_file(qmldir "${module_dir}/qmldir" COPYONLY)

    # The dumper (not instrumented) cannot load a library built with a sanitizer; such
    # builds are for testing and go without the description.
    set(type_description "")
    if(NOT SANITIZE)
        set(type_description "${module_dir}/plugins.qmltypes")
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND "${CMAKE_COMMAND}" -DTOOL=${QMLPLUGINDUMP} -DURI=${ARG_URI}
                    -DIMPORT_DIR=${QML_BUILD_DIR} -DOUTPUT=${type_description}
                    -DQT_MAJOR_VERSION=${QT_MAJOR_VERSION}
                    -P "${_dump_types}"
            COMMENT "Describing the types of ${ARG_URI}"
            VERBATIM)
    endif()

    install(TARGETS ${target} LIBRARY DESTINATION "${QML_INSTALL_DIR}/${uri_path}"
        COMPONENT ${target})
    install(FILES qmldir ${type_description}
        DESTINATION "${QML_INSTALL_DIR}/${uri_path}" COMPONENT ${target})
endfunction()

# The engine check. The engine libraries (the platform core, the engines of
# barcodes/, batch_data/ and output/, and the drawing model) link Qt Core and Gui at most, never Qt
# Widgets. Two things hold them to it:
#  - configuring fails when Qt Widgets is anywhere in the link closure of
#    one of them;
#  - quorvant_engine_check, built with everything, links all of them with Qt
#    Core and Gui alone and uses each (cmake/EngineCheck.cpp), so a widget
#    header or call that slipped into an engine fails to compile or link.
# A new engine library is added to the list below.

set(QUORVANT_ENGINE_LIBRARIES
  platform
  barcodes_symbologies
  barcodes_pdf417
  barcodes_qrencoder
  barcodes_qr
  barcodes_datamatrix
  barcodes_imaging
  barcodes_designer
  barcodes_designer_engine
  barcodes_render
  batch_zip
  batch_spreadsheet
  batch_series
  batch_binding
  batch_import
  output_export
  output_mail
  output_print
  drawing
)

# Fails the configuration when `library` reaches Qt Widgets through its
# INTERFACE_LINK_LIBRARIES, however indirectly (private links of a static
# library appear there as $<LINK_ONLY:...> and are followed too).
function(quorvant_require_no_widgets library)
  set(queue ${library})
  set(seen "")
  while(queue)
    list(POP_FRONT queue item)
    if(item MATCHES "Qt6?::Widgets")
      message(FATAL_ERROR "The engine library ${library} links Qt Widgets (through ${item}); "
                          "widgets belong in a library of their own.")
    endif()
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.+)>$" "\\1" item "${item}")
    if(NOT TARGET "${item}" OR item IN_LIST seen)
      continue()
    endif()
    list(APPEND seen "${item}")
    get_target_property(aliased "${item}" ALIASED_TARGET)
    if(aliased)
      list(APPEND queue "${aliased}")
      continue()
    endif()
    get_target_property(links "${item}" INTERFACE_LINK_LIBRARIES)
    if(links)
      list(APPEND queue ${links})
    endif()
  endwhile()
endfunction()

foreach(library IN LISTS QUORVANT_ENGINE_LIBRARIES)
  if(NOT TARGET ${library})
    message(FATAL_ERROR "The engine check names ${library}, which is no target.")
  endif()
  quorvant_require_no_widgets(${library})
endforeach()

add_executable(quorvant_engine_check ${CMAKE_CURRENT_LIST_DIR}/EngineCheck.cpp)
target_compile_options(quorvant_engine_check PRIVATE ${QUORVANT_WARNINGS})
target_include_directories(quorvant_engine_check PRIVATE ${QUORVANT_SOURCE_ROOT})
target_link_libraries(quorvant_engine_check PRIVATE ${QUORVANT_ENGINE_LIBRARIES} Qt6::Core Qt6::Gui)
quorvant_require_no_widgets(quorvant_engine_check)

if(QUORVANT_TESTS)
  add_test(NAME quorvant_engine_check COMMAND quorvant_engine_check)
  set_tests_properties(quorvant_engine_check PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()

# The app center's and home grid's pictures, drawn at build time into the skin folder.
add_executable(app_center_image_generator generator/draw_app_center_images.cpp)
target_link_libraries(app_center_image_generator PRIVATE PkgConfig::CAIRO)

set(_app_center_images
  button/install.png button/open.png button/update.png button/cancel.png
  nopicinfo.png webdefault.png star.png
  app_btn_normal.png app_btn_hover.png app_btn_pushed.png delete.png New.png)
list(TRANSFORM _app_center_images PREPEND "${ZELK_SKIN_DIR}/")
add_custom_command(
  OUTPUT ${_app_center_images}
  COMMAND app_center_image_generator "${ZELK_SKIN_DIR}"
  DEPENDS app_center_image_generator
  COMMENT "Drawing the app center's skin images"
  VERBATIM)
add_custom_target(app_center_skin ALL DEPENDS ${_app_center_images})
add_dependencies(skin app_center_skin)

# The main window's pictures, drawn at build time by their own generator into the skin folder.
pkg_check_modules(MAIN_SKIN_PIXBUF REQUIRED IMPORTED_TARGET gdk-pixbuf-2.0)

add_executable(main_skin_image_generator generator/draw_main_skin_images.cpp)
target_link_libraries(main_skin_image_generator PRIVATE PkgConfig::CAIRO PkgConfig::PANGOCAIRO
  PkgConfig::MAIN_SKIN_PIXBUF)

set(_main_skin_images
  main/sys_min.png main/sys_max.png main/sys_restore.png main/sys_close.png main/sys_close_dark.png main/sys_menu.png
  main/sys_skin.png main/sys_feedback.png main/sys_webhome.png main/sys_help.png
  main/logo_small.png main/logo.png
  network/netstateok2.png network/netstateerror2.png
  toolbar/tab_hot.png toolbar/tab_pushed.png toolbar/tab_selected.png
  toolbar/home.png toolbar/knowlege.png toolbar/appmarket.png toolbar/faq.png
  toolbar/template.png toolbar/video.png toolbar/game.png toolbar/navigate.png
  toolbar/share.png toolbar/cooperation.png
  common/btn_primary.png common/btn_normal.png common/btn_search.png common/combo.png
  common/checkbox_normal.png common/checkbox_hot.png common/checkbox_checked.png
  common/nav_selected.png common/nav_hot.png common/loading_page.png
  app_market/lefttab_over.png app_market/lefttab_down.png
  user/menu_arrow.png user/avatar_default.png user/avatar_hot.png
  user/avatar_pushed.png
  knowlege/nav_search.png knowlege/nav_downloading.png knowlege/nav_downloaded.png
  knowlege/nav_folder.png knowlege/search_mark.png progress_fore.png progress_back.png
  home/apps_empty.png cooperation/card_docs.png cooperation/card_apps.png
  cooperation/card_ads.png cooperation/step.png cooperation/arrow.png share_to/sharebtn_16.png share_to/sharebtn_32.png AdDefault.jpg
  nodatainfo.png net_error.png nosearchfiles.png nosearchapp.png
  skin/bg01.png skin/bg02.png skin/bg03.png skin/bg04.png skin/bg05.png skin/bg06.png
  skin/bg07.png skin/bg08.png skin/choice_hot.png skin/choice_pushed.png)
list(TRANSFORM _main_skin_images PREPEND "${ZELK_SKIN_DIR}/")
add_custom_command(
  OUTPUT ${_main_skin_images}
  COMMAND main_skin_image_generator "${ZELK_SKIN_DIR}"
  DEPENDS main_skin_image_generator
  COMMENT "Drawing the main window's skin images"
  VERBATIM)
add_custom_target(main_skin ALL DEPENDS ${_main_skin_images})
add_dependencies(skin main_skin)

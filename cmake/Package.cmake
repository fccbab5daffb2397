# The Debian package: scripts/package builds it, scripts/check-package unpacks and checks it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevilo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Korvath)
set(CPACK_PACKAGE_CONTACT "Brevilo developers <brevilo@korvath.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop archive for mail, news and web pages")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The library dependencies come from dpkg-shlibdeps; Qt's platform plugins are loaded at
# run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Help > Topics and links open in the desktop's browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-ipafont-gothic")
# CPack puts the summary first and indents these lines as a Debian description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Brevilo imports mail, news articles, text files holding many messages, web
pages (read through small import scripts) and Outlook Express 5 mail stores
into a review log, posts the records into permanent tables and finds them
again by keyword. Text is kept as Shift-JIS (code page 932) bytes, so
Japanese mail and news come through unchanged.

brevilo-cli runs the same engines from the command line.")
include(CPack)

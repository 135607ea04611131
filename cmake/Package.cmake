# The Debian package, made by CPack's DEB generator from the install rules (cmake/Install.cmake).
# scripts/package builds it; the library dependencies come from dpkg-shlibdeps over the
# installed programs, the ones below are what the programs run or load by name.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Vellora)
set(CPACK_PACKAGE_CONTACT "Vellora maintainers <packages@vellora.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${VELLORA_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prints incoming mail and its attachments by rules")
# The synopsis above is put first; an empty line becomes the paragraph mark " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Vellora watches POP3 and IMAP mailboxes and prints what arrives. Each new
message is tested against the user's rules; the first rule that matches
prints the message body, its attachments or both on the CUPS printer it
names. Pictures, PDF files, web pages and office documents are printed by
helper programs; documents that nothing local prints go through a
conversion service, and notification mail through a notification service.

It runs as a desktop program with a tray icon, or without a window as a
systemd user service on a print server.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Run, not linked: LibreOffice for the office helpers and the conversion service (the
# no-window packages, or the full ones a desktop may already have), the CUPS client tools,
# ImageMagick with HEIF for the picture converter, the WebEngine process and the image
# plugins Qt loads by name, the fonts that keep office pages faithful, xdg-open.
set(VELLORA_RUN_DEPENDS
  "libreoffice-writer-nogui | libreoffice-writer"
  "libreoffice-calc-nogui | libreoffice-calc"
  "libreoffice-impress-nogui | libreoffice-impress"
  cups-client
  imagemagick
  libheif1
  libqt6webenginecore6-bin
  qt6-image-formats-plugins
  fonts-dejavu-core
  fonts-liberation2
  fonts-crosextra-carlito
  fonts-crosextra-caladea
  xdg-utils)
list(JOIN VELLORA_RUN_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# A local print server for a machine that prints on its own printers, and the sandbox for
# documents from strangers; the programs still work without either.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, bubblewrap")

include(CPack)

# Debian packages with CPack (tools/package.sh): bracutil, quor-tools and
# libquor-dev, their dependencies computed from the binaries by dpkg-shlibdeps.
set(QUOR_RELEASE_DATE 2026-12-09)
set(QUOR_RELEASE_DATE_RFC2822 "Wed, 09 Dec 2026 12:00:00 +0000")
set(QUOR_MAINTAINER "Quor maintainers <maintainers@quor.example.org>" CACHE STRING
  "Maintainer named in the packages")
set(QUOR_DEVELOPER "Quor" CACHE STRING "Developer named in the AppStream metadata")
set(QUOR_HOMEPAGE "https://quor.example.org" CACHE STRING
  "Home page of the product; the screenshots are under its docs/")
set(QUOR_COPYRIGHT "2026 the Quor developers" CACHE STRING "Copyright holder of the packages")
set(QUOR_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence of the product")
set(QUOR_LICENSE_TEXT "All rights reserved." CACHE STRING "Licence text for the copyright file")

set(QUOR_PACKAGE_bracutil bracutil)
set(QUOR_PACKAGE_tools quor-tools)
set(QUOR_PACKAGE_dev libquor-dev)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quor)
set(CPACK_PACKAGE_VENDOR "${QUOR_DEVELOPER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUOR_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL bracutil tools dev)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUOR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUOR_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_BRACUTIL_PACKAGE_NAME ${QUOR_PACKAGE_bracutil})
set(CPACK_DEBIAN_BRACUTIL_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_BRACUTIL_DESCRIPTION
  "utilità per l'archivio condominiale di Bracotene
BracUtil apre in sola lettura l'archivio di Bracotene, un programma di
amministrazione condominiale. Elenca i condomini e mostra i movimenti di
conto corrente di quello scelto; un pulsante li copia negli appunti come
testo separato da tabulazioni e come tabella, pronti per un foglio di
calcolo.

Gli alias si leggono da /etc/quor/engine.ini e da ~/.config/Quor/engine.ini.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME ${QUOR_PACKAGE_tools})
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION
  "editor di diagrammi, galleria dei componenti e strumenti d'archivio Quor
I programmi costruiti sulla libreria Quor accanto a BracUtil: charteditor
modifica i diagrammi di flusso (.chart), gallery mostra al lavoro i
componenti della libreria, chartrender disegna un diagramma in un file PNG
o PDF, archive-copy copia un archivio in un altro alias (per esempio su un
server PostgreSQL) e make-demo-archive crea un archivio dimostrativo.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME ${QUOR_PACKAGE_dev})
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
  "qt6-base-dev, libsqlite3-dev, libpq-dev, libxcb1-dev, libgl-dev, cmake (>= 3.25)")
set(CPACK_DEBIAN_DEV_DESCRIPTION
  "file di sviluppo della libreria Quor
Intestazioni in /usr/include/quor, librerie statiche e pacchetto CMake
della libreria Quor: stringhe a 8 bit e collezioni, date e registro,
funzioni di archivio su SQLite o PostgreSQL, grafica, il componente dei
diagrammi di flusso e controlli Qt legati ai dati.

find_package(Quor CONFIG) dà i target Quor::quorbase, Quor::utilities,
Quor::db, Quor::graphics, Quor::quorgrafica, Quor::controls e i target
platform_* su cui poggiano.")

include(CPack)

# Windows: the two programs, each a single .exe that imports only the system's DLLs.
# scripts/build-windows.sh installs them into a staging folder from which it makes the
# portable zip and the installer.
install(TARGETS zelka-utility zelka RUNTIME DESTINATION .)

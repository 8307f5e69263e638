@echo off
rem Start von der CD: alle Dateien liegen neben diesem Skript.
"%~dp0Pagetrix.exe" /INI="%~dp0Pagetrix.ini" /ENV="%~dp0Umgebung.ini" "%~dp0seiten\Start.ini"

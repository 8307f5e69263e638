@echo off
rem Anmeldeskript: erzeugt die Startseite des Intranets und öffnet sie.
rem "start" wartet nicht, die Anmeldung läuft sofort weiter.
start "" "\\fileserver\intranet\Pagetrix.exe" /INI="\\fileserver\intranet\Pagetrix.ini"

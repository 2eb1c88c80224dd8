@echo off
rem Example launch script: filled in by the next commit.
exit /b 1

; The program folder's files, each named once: the install copies them from the
; dist folder, the uninstaller removes the same names. A program that joins the
; dist folder gets one line here.
; DO is a macro taking the file's name and its kind: "program" files are always
; replaced, "data" files only by a newer one, so that an operator's newer
; cty.dat or MASTER.SCP survives an upgrade.
!macro ProgramFolderFiles DO
  !insertmacro ${DO} "replay.exe" program
  ; replay.exe loads the plug-in beside it; Tevo's copy is in its Plugins folder.
  !insertmacro ${DO} "Stats.dll" program
  !insertmacro ${DO} "logcheck.exe" program
  !insertmacro ${DO} "replay-log.cmd" program
  !insertmacro ${DO} "GUIDE.txt" program
  !insertmacro ${DO} "README.txt" program
  !insertmacro ${DO} "sample.adi" program
  !insertmacro ${DO} "header.txt" program
  ; logcheck's contest definitions (contests/ in the sources) and their keys.
  !insertmacro ${DO} "verda_ww_dx.toml" program
  !insertmacro ${DO} "lzfd_2017.toml" program
  !insertmacro ${DO} "nrau_baltic_2017.toml" program
  !insertmacro ${DO} "contests.txt" program
  !insertmacro ${DO} "cty.dat" data
  !insertmacro ${DO} "MASTER.SCP" data
!macroend

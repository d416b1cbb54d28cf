' The server selectors as a VBScript host meets them: created by their ProgIDs, the combo's
' selected server written and read back, and a member that needs the control's window.
Option Explicit
On Error Resume Next
Dim combo, button, height
Set combo = CreateObject("OstrelUITools.OstrelServerCombo")
Report "CreateObject combo"
WScript.Echo "SelectedServer [" & combo.SelectedServer & "]"
combo.SelectedServer = "script-host"
Report "SelectedServer ="
WScript.Echo "SelectedServer [" & combo.SelectedServer & "]"
height = combo.drawSizeHeight
Report "drawSizeHeight"
Set button = CreateObject("OstrelUITools.OstrelServerButton")
Report "CreateObject button"
WScript.Echo "serverselection script done"

' "ok", or the error's number in hex and the description the user would be shown.
Sub Report(what)
    If Err.Number = 0 Then
        WScript.Echo what & ": ok"
    Else
        WScript.Echo what & ": 0x" & Hex(Err.Number) & " """ & Err.Description & """"
    End If
    Err.Clear
End Sub

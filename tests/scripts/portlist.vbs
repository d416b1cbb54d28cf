' The port list as a VBScript host meets it: created by its ProgID, members called by name,
' one property written and read back, and the members that need the window a script never
' gives it. Each call prints one line; the last line tells the harness the script ran through.
Option Explicit
On Error Resume Next
Dim list
Set list = CreateObject("OstrelUITools.OstrelPortList")
Report "CreateObject"
list.SetDisplayMask 2
Report "SetDisplayMask 2"
list.ShowPropertiesOnDoubleClick 1
Report "ShowPropertiesOnDoubleClick 1"
WScript.Echo "ShowBaudLabel " & list.ShowBaudLabel
list.ShowBaudLabel = 0
WScript.Echo "ShowBaudLabel " & list.ShowBaudLabel
list.Startup
Report "Startup"
list.InitializeList Nothing
Report "InitializeList Nothing"
WScript.Echo "portlist script done"

' "ok", or the error's number in hex and the description the user would be shown.
Sub Report(what)
    If Err.Number = 0 Then
        WScript.Echo what & ": ok"
    Else
        WScript.Echo what & ": 0x" & Hex(Err.Number) & " """ & Err.Description & """"
    End If
    Err.Clear
End Sub

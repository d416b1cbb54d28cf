' The client list and the object tree as a VBScript host meets them: created by their ProgIDs,
' members called by name, and the start on a server that a script, which gives them no window,
' sees refused.
Option Explicit
On Error Resume Next
Dim clients, objects, server
Set clients = CreateObject("OstrelUITools.OstrelClientList")
Report "CreateObject client list"
Set objects = CreateObject("OstrelUITools.OstrelObjectList")
Report "CreateObject object tree"
Set server = CreateObject("OstrelDeviceSim.Server")
Report "CreateObject server"
clients.Startup
Report "Startup"
clients.StartupEx server
Report "client list StartupEx"
objects.StartupEx server
Report "object tree StartupEx"
clients.RefreshDisplay
Report "RefreshDisplay"
objects.ShowProperties
Report "ShowProperties"
objects.Shutdown
Report "Shutdown"
WScript.Echo "clients script done"

' "ok", or the error's number in hex and the description the user would be shown.
Sub Report(what)
    If Err.Number = 0 Then
        WScript.Echo what & ": ok"
    Else
        WScript.Echo what & ": 0x" & Hex(Err.Number) & " """ & Err.Description & """"
    End If
    Err.Clear
End Sub

' The phone list as a VBScript host meets it: created by its ProgID, members called by name,
' a label written and read back, and the members that need a selected phone or a window.
Option Explicit
On Error Resume Next
Dim list
Set list = CreateObject("OstrelUITools.OstrelPhoneList")
Report "CreateObject"
WScript.Echo "ShowESNLabel " & list.ShowESNLabel
list.ShowESNLabel = 0
WScript.Echo "ShowESNLabel " & list.ShowESNLabel
WScript.Echo "GetItemCount " & list.GetItemCount()
Report "GetItemCount"
Dim model
model = list.GetModelString()
Report "GetModelString"
list.InitializeList Nothing
Report "InitializeList Nothing"
WScript.Echo "phonelist script done"

' "ok", or the error's number in hex and the description the user would be shown.
Sub Report(what)
    If Err.Number = 0 Then
        WScript.Echo what & ": ok"
    Else
        WScript.Echo what & ": 0x" & Hex(Err.Number) & " """ & Err.Description & """"
    End If
    Err.Clear
End Sub

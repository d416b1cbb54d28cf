' The two service lists as a VBScript host meets them: created by their ProgIDs, the map read out
' of one into a variable, handed on to both, and what is not a map refused.
Option Explicit
On Error Resume Next
Dim assigned, pool, table, other
Set assigned = CreateObject("OstrelUITools.RdmSvcAsgn")
Report "CreateObject assigned list"
Set pool = CreateObject("OstrelUITools.RdmSvcPool")
Report "CreateObject unassigned list"
assigned.ReadDevTable table
Report "ReadDevTable"
assigned.WriteDevTable table
Report "assigned WriteDevTable"
pool.WriteDevTable table
Report "unassigned WriteDevTable"
pool.WriteDevTable Nothing
Report "WriteDevTable Nothing"
pool.WriteDevTable assigned
Report "WriteDevTable of a list"
' A variable that held the list now holds the map.
Set other = assigned
assigned.ReadDevTable other
Report "ReadDevTable into a variable that held an object"
pool.WriteDevTable other
Report "WriteDevTable of it"
WScript.Echo "servicemap script done"

' "ok", or the error's number in hex and the description the user would be shown.
Sub Report(what)
    If Err.Number = 0 Then
        WScript.Echo what & ": ok"
    Else
        WScript.Echo what & ": 0x" & Hex(Err.Number) & " """ & Err.Description & """"
    End If
    Err.Clear
End Sub

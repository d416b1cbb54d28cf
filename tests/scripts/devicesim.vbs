' Reaches the simulator's local server through its own ProgID, as a script host would, and
' adds a client through the control interface, so that the C++ side can see the same model.
' With the argument "hold" it then keeps calling the server until it is ended from outside:
' a client that dies without letting go (Wine's script host has no WScript.Sleep).
Option Explicit
Dim server, clientId, i
Set server = CreateObject("OstrelDeviceSim.Server")
clientId = server.AddClient("devicesim.vbs", "SCRIPTHOST", 4242, "1.0", "01/02/2024 10:00")
WScript.Echo "client " & clientId
If WScript.Arguments.Count > 0 Then
    If WScript.Arguments(0) = "hold" Then
        For i = 1 To 120000
            server.SetStartingPolls 0
        Next
    End If
End If
WScript.Echo "devicesim.vbs done"

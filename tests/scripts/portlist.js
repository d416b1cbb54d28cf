// The port list as a JScript host meets it: created by its ProgID, members called by name,
// one property written and read back, and a member that needs the window a script never
// gives it. Each call prints one line; the last line tells the harness the script ran through.
var list = new ActiveXObject("OstrelUITools.OstrelPortList");

// "ok", or the error's number in hex and the description the user would be shown.
function report(call, member) {
    try {
        member();
        WScript.Echo(call + ": ok");
    } catch (failure) {
        var number = (failure.number >>> 0).toString(16).toUpperCase();
        WScript.Echo(call + ": 0x" + number + " \"" + failure.description + "\"");
    }
}

report("SetDisplayMask 2", function () { list.SetDisplayMask(2); });
report("ShowPropertiesOnDoubleClick 1", function () { list.ShowPropertiesOnDoubleClick(1); });
WScript.Echo("ShowBaudLabel " + list.ShowBaudLabel);
list.ShowBaudLabel = 0;
WScript.Echo("ShowBaudLabel " + list.ShowBaudLabel);
report("SetNotificationWindow 0", function () { list.SetNotificationWindow(0); });
WScript.Echo("portlist script done");

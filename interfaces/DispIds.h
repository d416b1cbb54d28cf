#ifndef OSTRELUITOOLS_DISPIDS_H
#define OSTRELUITOOLS_DISPIDS_H

/* The DISPIDs of the module's interfaces that its own code names. The IDL includes this file,
   so the type library and the code read each number from here; hosts call by these numbers,
   so they never change. Plain #define lines only: widl's preprocessor reads it too. */

/* IOstrelPortList: the Show...Label properties, also what the port list persists. */
#define DISPID_PORTLIST_SHOWPORTNUMBERLABEL 5
#define DISPID_PORTLIST_SHOWPORTLABEL 6
#define DISPID_PORTLIST_SHOWBAUDLABEL 7
#define DISPID_PORTLIST_SHOWPHONELABEL 8
#define DISPID_PORTLIST_SHOWPORTERRORLABEL 9

/* IOstrelPhoneList: the Show...Label properties, also what the phone list persists. */
#define DISPID_PHONELIST_SHOWPHONETYPELABEL 5
#define DISPID_PHONELIST_SHOWESNLABEL 6
#define DISPID_PHONELIST_SHOWBANNERLABEL 7
#define DISPID_PHONELIST_SHOWPORTLABEL 8
#define DISPID_PHONELIST_SHOWSERVERLABEL 9
#define DISPID_PHONELIST_SHOWNUMBERLABEL 10

/* IOstrelPhoneServerCtrl: the Show...Label properties (all but the banner's also what the control
   persists) and the selected server. */
#define DISPID_PHONESERVER_SHOWPHONETYPELABEL 5
#define DISPID_PHONESERVER_SHOWESNLABEL 6
#define DISPID_PHONESERVER_SHOWBANNERLABEL 7
#define DISPID_PHONESERVER_SHOWPORTLABEL 8
#define DISPID_PHONESERVER_SHOWSERVERLABEL 9
#define DISPID_PHONESERVER_SHOWNUMBERLABEL 10
#define DISPID_PHONESERVER_SELECTEDSERVER 11

/* IOstrelServerCombo, and the one member each of the server selectors' event interfaces. */
#define DISPID_SERVERCOMBO_SELECTEDSERVER 1
#define DISPID_SERVERCOMBO_DRAWSIZEHEIGHT 2
#define DISPID_SERVERCOMBO_SERVERCHANGED 1
#define DISPID_SERVERBUTTON_SERVERSELCHANGED 1

#endif

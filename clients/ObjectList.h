#pragma once

#include "foundation/Win32/Unique.h"
#include "framework/com/FreeThreadedMarshaler.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "framework/windows/TreeView.h"
#include "interfaces/OstrelUITools.h"
#include "lists/ViewConnection.h"
#include "server/ServerEventRoute.h"

#include <map>
#include <string>

// Everything one device server knows, as a tree: the server at the root, a group each for its
// phones, agents, ports and clients, and every object of those kinds a leaf under its group,
// kept current from the server's object events. Its event interface has no members.
class COstrelObjectList
    : public Fw::Control<COstrelObjectList, IOstrelObjectList, &CLSID_OstrelObjectList, _IOstrelObjectListEvents>,
      public Fw::PersistStorage,
      public Fw::DataObject,
      public Fw::SpecifyPropertyPages {
    // Answers IMarshal: callers in other apartments get the object itself.
    Fw::FreeThreadedMarshaler m_marshaler;

public:
    static constexpr const char* displayName = "OstrelObjectTree Control";
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<COstrelObjectList>(), Fw::Entry<COstrelObjectList, IPersistStorage>(),
        Fw::Entry<COstrelObjectList, IDataObject>(), Fw::Entry<COstrelObjectList, ISpecifyPropertyPages>(),
        Fw::Entry<COstrelObjectList, IConnectionPointContainer>(),
        Fw::MarshalEntry<COstrelObjectList, &COstrelObjectList::m_marshaler>());

    // The child id hosts and tests find the tree by.
    static constexpr int treeId = 1;

    // What the tree keeps of each leaf, by object id.
    struct Leaf {
        HTREEITEM item = nullptr;
        std::string name;
        std::string className;
        std::string typeText;
        std::string version;
        int image = 0;
        short objectId = 0;
    };

    HRESULT FinalConstruct();
    ~COstrelObjectList() override;

    // IOstrelObjectList
    HRESULT STDMETHODCALLTYPE Startup() override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;
    HRESULT STDMETHODCALLTYPE InitializeList(IUnknown* pConfigAgent) override;
    HRESULT STDMETHODCALLTYPE StartupEx(IUnknown* pIOstrelServer) override;
    HRESULT STDMETHODCALLTYPE GetConfigAgent(IUnknown** lpConfigAgent) override;
    HRESULT STDMETHODCALLTYPE RefreshDisplay() override;
    HRESULT STDMETHODCALLTYPE ShowProperties() override;

    const std::map<short, Leaf>& Leaves() const { return m_leaves; }

    int OnCreate(const CREATESTRUCTA*);
    void OnDestroy();
    void OnSize(UINT, SIZE client);
    void OnSetFocus(HWND);
    void OnContextMenu(HWND, POINT screen);
    LRESULT OnServerRefreshItem(WPARAM, LPARAM change);

    static inline const Fw::MessageEntry<COstrelObjectList> messages[] = {
        Fw::OnMessage<WM_CREATE, &COstrelObjectList::OnCreate>(),
        Fw::OnMessage<WM_DESTROY, &COstrelObjectList::OnDestroy>(),
        Fw::OnMessage<WM_SIZE, &COstrelObjectList::OnSize>(),
        Fw::OnMessage<WM_SETFOCUS, &COstrelObjectList::OnSetFocus>(),
        Fw::OnMessage<WM_CONTEXTMENU, &COstrelObjectList::OnContextMenu>(),
        Fw::OnMessage<WM_SERVER_REFRESH_ITEM, &COstrelObjectList::OnServerRefreshItem>(),
    };

private:
    // The root, then the groups in the order of the kinds they hold.
    static constexpr size_t groupCount = 4;

    void Detach();
    void Clear();
    // The root, its groups and a leaf for every object; general failure when the tree cannot be
    // built or the server cannot list its objects.
    HRESULT LoadAll();
    // The object's leaf, made again from the server's records; none for a kind the tree does
    // not show or an object the server cannot describe.
    void AddObject(short objectId);
    void RemoveObject(short objectId);
    // The root and every group expanded (TVE_EXPAND) or collapsed (TVE_COLLAPSE).
    void ExpandGroups(UINT action) const;
    const Leaf* SelectedLeaf() const;
    void ShowContextMenuAt(POINT screen);

    Fw::TreeView m_tree;
    Win32::UniqueImageList m_images;
    ViewConnection m_connection;
    bool m_started = false;
    HTREEITEM m_root = nullptr;
    HTREEITEM m_groups[groupCount] = {};
    std::map<short, Leaf> m_leaves;
};

#!/usr/bin/env python3
"""Make a widl type library refer to stdole2's IUnknown instead of a copy.

widl handles `[default] interface IUnknown;` in a coclass (our property
pages) by copying IUnknown out of unknwn.idl into the library, with no
GUID, and pulls GUID and its anonymous struct in behind it. A host that
resolves the class's default interface then lands on a nameless stranger
instead of stdole2's IUnknown {00000000-0000-0000-C000-000000000046}.

This rewrites the MSFT file after widl:
  * every reference to the copy (class interface lists, base interfaces,
    USERDEFINED type descriptions) becomes an import reference to stdole2's
    IUnknown, reusing widl's own import entry when one exists;
  * the copy, and every type info that only the copy needed, is dropped;
    the remaining type infos are renumbered and each structure that holds a
    type info offset (headers, references, type descriptions, GUID and name
    tables) follows;
  * type and array descriptions that nothing uses any more are dropped too.
Everything else, names and strings included, is carried over byte for byte.

Usage: widl_fix_stdole_iunknown.py INPUT.tlb OUTPUT.tlb
A library without such a copy is written out unchanged.
Only the Python standard library is used, so it runs on any build machine.
"""

import os
import struct
import sys
import uuid

# Segment directory indexes, as the MSFT header orders them.
SEG_TYPEINFO, SEG_IMPORTINFO, SEG_IMPORTFILES, SEG_REFERENCES, SEG_GUIDHASH, \
    SEG_GUID, SEG_NAMEHASH, SEG_NAME, SEG_STRING, SEG_TYPEDESC, SEG_ARRAYDESC, \
    SEG_CUSTDATA, SEG_CUSTDATAGUID, SEG_UNKNOWN, SEG_UNKNOWN2 = range(15)
SEGMENT_COUNT = 15
# The order in which widl lays the segments out in the file.
FILE_ORDER = [SEG_TYPEINFO, SEG_GUIDHASH, SEG_GUID, SEG_REFERENCES, SEG_IMPORTINFO,
              SEG_IMPORTFILES, SEG_NAMEHASH, SEG_NAME, SEG_STRING, SEG_TYPEDESC,
              SEG_ARRAYDESC, SEG_CUSTDATA, SEG_CUSTDATAGUID, SEG_UNKNOWN, SEG_UNKNOWN2]

HEADER_SIZE = 0x54
H_MAGIC1, H_VARFLAGS, H_NRTYPEINFOS, H_NIMPINFOS = 0, 5, 8, 20
MSFT_MAGIC = 0x5446534D
HELPDLL_FLAG = 0x100

TYPEINFO_SIZE = 0x64
TI_TYPEKIND, TI_MEMOFFSET, TI_CELEMENT, TI_POSGUID = 0x00, 0x04, 0x18, 0x2C
TI_NAMEOFFSET, TI_CIMPLTYPES, TI_DATATYPE1 = 0x34, 0x4C, 0x54

TKIND_ENUM, TKIND_RECORD, TKIND_MODULE, TKIND_INTERFACE, TKIND_DISPATCH, \
    TKIND_COCLASS, TKIND_ALIAS, TKIND_UNION = range(8)

VT_PTR, VT_SAFEARRAY, VT_CARRAY, VT_USERDEFINED = 26, 27, 28, 29

GUID_ENTRY_SIZE = 24
IMPINFO_SIZE = 12
IMPINFO_OFFSET_IS_GUID = 0x00010000
REFRECORD_SIZE = 16
TYPEDESC_SIZE = 8

STDOLE2_LIBID = uuid.UUID('00020430-0000-0000-C000-000000000046')
IID_IUNKNOWN = uuid.UUID('00000000-0000-0000-C000-000000000046')
GUID_NULL = uuid.UUID(int=0)


class FormatError(Exception):
    pass


def i32(buf, off):
    return struct.unpack_from('<i', buf, off)[0]


def put32(buf, off, value):
    struct.pack_into('<i', buf, off, value)


def is_internal_href(value):
    """A type info of this library, as opposed to an import entry (low bits set)."""
    return value >= 0 and value & 3 == 0


def is_typedesc_offset(encoded):
    """Type encodings with the top bit set are inline base types."""
    return encoded >= 0


def guid_hash(guid_bytes):
    h = 0
    for short in struct.unpack('<8h', guid_bytes):
        h ^= short
    return h & 0x1F


class TypeInfo:
    def __init__(self, index, record):
        self.index = index
        self.record = bytearray(record)
        self.members = None  # bytearray of the member block, or None

    @property
    def kind(self):
        return i32(self.record, TI_TYPEKIND) & 0xF

    @property
    def func_count(self):
        return i32(self.record, TI_CELEMENT) & 0xFFFF

    @property
    def var_count(self):
        return (i32(self.record, TI_CELEMENT) >> 16) & 0xFFFF

    @property
    def impl_count(self):
        return struct.unpack_from('<h', self.record, TI_CIMPLTYPES)[0]

    def get(self, off):
        return i32(self.record, off)

    def set(self, off, value):
        put32(self.record, off, value)

    # Member block: INT size, function records, variable records, then the
    # ids, name offsets and record offsets of functions and variables.
    def _arrays(self):
        size = i32(self.members, 0)
        nf, nv = self.func_count, self.var_count
        base = 4 + size
        return {
            'func_names': base + 4 * (nf + nv),
            'var_names': base + 4 * (nf + nv) + 4 * nf,
            'func_offsets': base + 8 * (nf + nv),
            'var_offsets': base + 8 * (nf + nv) + 4 * nf,
        }

    def name_offsets(self):
        """Offsets into the name table of this type info's own and member names."""
        names = [self.get(TI_NAMEOFFSET)]
        if self.members:
            arrays = self._arrays()
            for i in range(self.func_count + self.var_count):
                names.append(i32(self.members, arrays['func_names'] + 4 * i))
        return [n for n in names if n >= 0]

    def datatype_slots(self):
        """Offsets in the member block of every field holding a type encoding."""
        if not self.members:
            return []
        arrays = self._arrays()
        slots = []
        for i in range(self.func_count):
            rec = 4 + i32(self.members, arrays['func_offsets'] + 4 * i)
            reclen = i32(self.members, rec) & 0xFFFF
            nargs = struct.unpack_from('<H', self.members, rec + 0x14)[0]
            slots.append(rec + 4)  # return type
            params = rec + reclen - 12 * nargs
            slots.extend(params + 12 * p for p in range(nargs))
        for i in range(self.var_count):
            rec = 4 + i32(self.members, arrays['var_offsets'] + 4 * i)
            slots.append(rec + 4)
        return slots


class TypeLib:
    def __init__(self, data):
        self.data = data
        if len(data) < HEADER_SIZE or i32(data, 0) != MSFT_MAGIC:
            raise FormatError('not an MSFT type library')
        self.header = bytearray(data[:HEADER_SIZE])
        pos = HEADER_SIZE
        self.helpdll = None
        if self.h(H_VARFLAGS) & HELPDLL_FLAG:
            self.helpdll = data[pos:pos + 4]
            pos += 4
        count = self.h(H_NRTYPEINFOS)
        offsets = struct.unpack_from('<%di' % count, data, pos)
        pos += 4 * count
        if list(offsets) != [i * TYPEINFO_SIZE for i in range(count)]:
            raise FormatError('type infos are not laid out in index order')
        self.segdir = [list(struct.unpack_from('<4i', data, pos + 16 * i)) for i in range(SEGMENT_COUNT)]
        self.segments = []
        for off, length, _, _ in self.segdir:
            if off < 0 or length <= 0:
                self.segments.append(bytearray())
            else:
                if off + length > len(data):
                    raise FormatError('segment runs past the end of the file')
                self.segments.append(bytearray(data[off:off + length]))
        guids = len(self.segments[SEG_GUID])
        imports = self.segments[SEG_IMPORTINFO]
        for off in range(0, len(imports), IMPINFO_SIZE):
            flags, _, guid_off = struct.unpack_from('<3i', imports, off)
            if flags & IMPINFO_OFFSET_IS_GUID and not (0 <= guid_off < guids and guid_off % GUID_ENTRY_SIZE == 0):
                # widl writes this (and clobbers a byte of the library's own
                # GUID) when a class names IUnknown before any interface
                # deriving from IUnknown has been added to the library.
                raise FormatError('import entry %d has no GUID; list the interfaces deriving from '
                                  'IUnknown ahead of the classes in the library block' % (off // IMPINFO_SIZE))
        seg = self.segments[SEG_TYPEINFO]
        if len(seg) != count * TYPEINFO_SIZE:
            raise FormatError('type info segment does not match the type info count')
        self.typeinfos = [TypeInfo(i, seg[i * TYPEINFO_SIZE:(i + 1) * TYPEINFO_SIZE]) for i in range(count)]
        for ti in self.typeinfos:
            n = ti.func_count + ti.var_count
            if n:
                mem = ti.get(TI_MEMOFFSET)
                size = i32(data, mem)
                length = 4 + size + 12 * n
                if mem < 0 or mem + length > len(data):
                    raise FormatError('member block of type info %d runs past the end of the file' % ti.index)
                ti.members = bytearray(data[mem:mem + length])

    def h(self, field):
        return i32(self.header, 4 * field)

    def set_h(self, field, value):
        put32(self.header, 4 * field, value)

    # ----- tables -------------------------------------------------------
    def guid_at(self, off):
        return uuid.UUID(bytes_le=bytes(self.segments[SEG_GUID][off:off + 16]))

    def name_at(self, off):
        seg = self.segments[SEG_NAME]
        length = seg[off + 8]
        return bytes(seg[off + 12:off + 12 + length]).decode('latin-1')

    def name_entries(self):
        seg = self.segments[SEG_NAME]
        off = 0
        while off < len(seg):
            yield off
            off += 12 + ((seg[off + 8] + 3) & ~3)

    def typeinfo_guid(self, ti):
        pos = ti.get(TI_POSGUID)
        return self.guid_at(pos) if pos >= 0 else GUID_NULL

    def find_guid(self, guid):
        seg = self.segments[SEG_GUID]
        raw = guid.bytes_le
        for off in range(0, len(seg), GUID_ENTRY_SIZE):
            if bytes(seg[off:off + 16]) == raw:
                return off
        return -1

    def add_guid(self, guid, hreftype):
        off = self.find_guid(guid)
        if off >= 0:
            return off
        seg = self.segments[SEG_GUID]
        heads = self.segments[SEG_GUIDHASH]
        bucket = guid_hash(guid.bytes_le)
        off = len(seg)
        seg += guid.bytes_le + struct.pack('<ii', hreftype, i32(heads, 4 * bucket))
        put32(heads, 4 * bucket, off)
        return off

    def import_file_guid(self, file_off):
        return self.guid_at(i32(self.segments[SEG_IMPORTFILES], file_off))

    def stdole2_import_file(self):
        seg = self.segments[SEG_IMPORTINFO]
        for off in range(0, len(seg), IMPINFO_SIZE):
            file_off = i32(seg, off + 4)
            if self.import_file_guid(file_off) == STDOLE2_LIBID:
                return file_off
        # Nothing imported from stdole2 yet: add it the way widl would.
        files = self.segments[SEG_IMPORTFILES]
        name = b'stdole2.tlb'
        encoded = struct.pack('<H', (len(name) << 2) | 1) + name
        encoded += b'\x57' * (-len(encoded) % 4)
        file_off = len(files)
        libid = self.add_guid(STDOLE2_LIBID, 2)
        files += struct.pack('<iii', libid, self.h(4), 2) + encoded
        return file_off

    def stdole2_iunknown_href(self):
        """Import reference (offset + 1) to stdole2's IUnknown, added when missing."""
        seg = self.segments[SEG_IMPORTINFO]
        for off in range(0, len(seg), IMPINFO_SIZE):
            flags, file_off, guid_off = struct.unpack_from('<3i', seg, off)
            if (flags & IMPINFO_OFFSET_IS_GUID and self.guid_at(guid_off) == IID_IUNKNOWN
                    and self.import_file_guid(file_off) == STDOLE2_LIBID):
                return off + 1
        file_off = self.stdole2_import_file()
        seg = self.segments[SEG_IMPORTINFO]
        off = len(seg)
        guid_off = self.add_guid(IID_IUNKNOWN, off + 1)
        count = self.h(H_NIMPINFOS)
        seg += struct.pack('<3i', (TKIND_INTERFACE << 24) | IMPINFO_OFFSET_IS_GUID | count, file_off, guid_off)
        self.set_h(H_NIMPINFOS, count + 1)
        return off + 1

    def coclass_refs(self, ti):
        """Offsets in the references segment of a class's interface records."""
        refs = []
        off = ti.get(TI_DATATYPE1)
        for _ in range(ti.impl_count):
            if off < 0:
                break
            refs.append(off)
            off = i32(self.segments[SEG_REFERENCES], off + 12)
        return refs

    # ----- type descriptions ----------------------------------------------
    def typedesc(self, off):
        return struct.unpack_from('<2i', self.segments[SEG_TYPEDESC], off)

    def typedesc_closure(self, encodings):
        """Type descriptions and array descriptions reachable from type encodings."""
        descs, arrays = set(), set()
        work = [e for e in encodings if is_typedesc_offset(e)]
        while work:
            off = work.pop()
            if off in descs:
                continue
            descs.add(off)
            head, value = self.typedesc(off)
            vt = head & 0xFFFF
            if vt in (VT_PTR, VT_SAFEARRAY) and is_typedesc_offset(value):
                work.append(value)
            elif vt == VT_CARRAY:
                arrays.add(value)
                element = i32(self.segments[SEG_ARRAYDESC], value)
                if is_typedesc_offset(element):
                    work.append(element)
        return descs, arrays

    def encodings_of(self, ti):
        out = [i32(ti.members, slot) for slot in ti.datatype_slots()]
        if ti.kind == TKIND_ALIAS:
            out.append(ti.get(TI_DATATYPE1))
        return out

    def references_of(self, ti):
        """Type info offsets of this library that a type info depends on."""
        hrefs = []
        if ti.kind in (TKIND_INTERFACE, TKIND_DISPATCH) and ti.impl_count > 0:
            hrefs.append(ti.get(TI_DATATYPE1))
        if ti.kind == TKIND_COCLASS:
            hrefs += [i32(self.segments[SEG_REFERENCES], r) for r in self.coclass_refs(ti)]
        descs, _ = self.typedesc_closure(self.encodings_of(ti))
        for off in descs:
            head, value = self.typedesc(off)
            if head & 0xFFFF == VT_USERDEFINED:
                hrefs.append(value)
        return [h for h in hrefs if is_internal_href(h)]

    # ----- the repair -------------------------------------------------------
    def copied_iunknowns(self):
        return [ti for ti in self.typeinfos
                if ti.kind == TKIND_INTERFACE and ti.impl_count == 0
                and self.name_at(ti.get(TI_NAMEOFFSET)).lower() == 'iunknown'
                and self.typeinfo_guid(ti) in (GUID_NULL, IID_IUNKNOWN)]

    def redirect(self, old_offsets, new_href):
        """Point every reference to the given type infos at new_href."""
        redirected = 0
        for ti in self.typeinfos:
            if ti.kind in (TKIND_INTERFACE, TKIND_DISPATCH) and ti.impl_count > 0 \
                    and ti.get(TI_DATATYPE1) in old_offsets:
                ti.set(TI_DATATYPE1, new_href)
                redirected += 1
            if ti.kind == TKIND_COCLASS:
                for r in self.coclass_refs(ti):
                    if i32(self.segments[SEG_REFERENCES], r) in old_offsets:
                        put32(self.segments[SEG_REFERENCES], r, new_href)
                        redirected += 1
        seg = self.segments[SEG_TYPEDESC]
        for off in range(0, len(seg), TYPEDESC_SIZE):
            head, value = self.typedesc(off)
            if head & 0xFFFF == VT_USERDEFINED and value in old_offsets:
                put32(seg, off + 4, new_href)
        return redirected

    def live_typeinfos(self, dropped_roots):
        by_offset = {ti.index * TYPEINFO_SIZE: ti for ti in self.typeinfos}

        def closure(start):
            seen = set()
            work = list(start)
            while work:
                ti = work.pop()
                if ti.index in seen:
                    continue
                seen.add(ti.index)
                for href in self.references_of(ti):
                    if href not in by_offset:
                        raise FormatError('type info %d refers to a missing type info' % ti.index)
                    work.append(by_offset[href])
            return seen

        only_for_roots = closure(dropped_roots)
        keep = closure([ti for ti in self.typeinfos if ti.index not in only_for_roots])
        return [ti for ti in self.typeinfos if ti.index in keep]

    def repair(self):
        roots = self.copied_iunknowns()
        if not roots:
            return None
        root_offsets = {ti.index * TYPEINFO_SIZE for ti in roots}
        href = self.stdole2_iunknown_href()
        redirected = self.redirect(root_offsets, href)
        live = self.live_typeinfos(roots)
        dropped = [ti for ti in self.typeinfos if ti not in live]
        self._renumber(live)
        return redirected, [self.name_at(ti.get(TI_NAMEOFFSET)) for ti in dropped]

    def _renumber(self, live):
        new_offset = {ti.index * TYPEINFO_SIZE: n * TYPEINFO_SIZE for n, ti in enumerate(live)}

        def remap_href(value):
            return new_offset[value] if is_internal_href(value) else value

        # Type and array descriptions still in use, compacted in their old order.
        encodings = [e for ti in live for e in self.encodings_of(ti)]
        live_descs, live_arrays = self.typedesc_closure(encodings)
        desc_map = {old: 8 * n for n, old in enumerate(sorted(live_descs))}
        array_map, arrays = {}, bytearray()
        old_arrays = self.segments[SEG_ARRAYDESC]
        for old in sorted(live_arrays):
            dims = i32(old_arrays, old + 4) & 0xFFFF
            array_map[old] = len(arrays)
            arrays += old_arrays[old:old + 8 + 8 * dims]

        def remap_encoding(value):
            return desc_map[value] if is_typedesc_offset(value) else value

        descs = bytearray()
        for old in sorted(live_descs):
            head, value = self.typedesc(old)
            vt = head & 0xFFFF
            if vt in (VT_PTR, VT_SAFEARRAY):
                value = remap_encoding(value)
            elif vt == VT_CARRAY:
                value = array_map[value]
            elif vt == VT_USERDEFINED:
                value = remap_href(value)
            descs += struct.pack('<2i', head, value)
        for old, new in array_map.items():
            put32(arrays, new, remap_encoding(i32(old_arrays, old)))
        self.segments[SEG_TYPEDESC] = descs
        self.segments[SEG_ARRAYDESC] = arrays

        # Names keep their place; only the type info each one points at moves.
        users = {}
        for ti in live:
            for name in ti.name_offsets():
                users.setdefault(name, new_offset[ti.index * TYPEINFO_SIZE])
        names = self.segments[SEG_NAME]
        for off in self.name_entries():
            value = i32(names, off)
            if is_internal_href(value) and value not in new_offset:
                put32(names, off, users.get(off, -1))
            elif is_internal_href(value):
                put32(names, off, new_offset[value])

        guids = self.segments[SEG_GUID]
        live_guids = {ti.get(TI_POSGUID) for ti in live}
        for ti in self.typeinfos:
            pos = ti.get(TI_POSGUID)
            if pos >= 0 and ti not in live and pos not in live_guids:
                put32(guids, pos + 16, -1)
        for ti in live:
            pos = ti.get(TI_POSGUID)
            if pos >= 0:
                put32(guids, pos + 16, new_offset[ti.index * TYPEINFO_SIZE])

        refs = self.segments[SEG_REFERENCES]
        for n, ti in enumerate(live):
            kind_word = ti.get(TI_TYPEKIND)
            ti.set(TI_TYPEKIND, (kind_word & 0xFFFF) | (n << 16))
            if ti.kind in (TKIND_INTERFACE, TKIND_DISPATCH) and ti.impl_count > 0:
                ti.set(TI_DATATYPE1, remap_href(ti.get(TI_DATATYPE1)))
            elif ti.kind == TKIND_ALIAS:
                ti.set(TI_DATATYPE1, remap_encoding(ti.get(TI_DATATYPE1)))
            elif ti.kind == TKIND_COCLASS:
                for r in self.coclass_refs(ti):
                    put32(refs, r, remap_href(i32(refs, r)))
            for slot in ti.datatype_slots():
                put32(ti.members, slot, remap_encoding(i32(ti.members, slot)))
            ti.index = n
        self.typeinfos = live
        self.segments[SEG_TYPEINFO] = bytearray(b''.join(ti.record for ti in live))
        self.set_h(H_NRTYPEINFOS, len(live))

    # ----- output -----------------------------------------------------------
    def serialize(self):
        count = len(self.typeinfos)
        pos = HEADER_SIZE + (4 if self.helpdll is not None else 0) + 4 * count + 16 * SEGMENT_COUNT
        segdir = [list(entry) for entry in self.segdir]
        for seg in FILE_ORDER:
            length = len(self.segments[seg])
            segdir[seg][0] = pos if length else -1
            segdir[seg][1] = length
            pos += length
        # Member blocks follow the segments in type info order; a type info
        # without members points at where the next block starts, as widl does.
        blocks = bytearray()
        for ti in self.typeinfos:
            ti.set(TI_MEMOFFSET, pos + len(blocks))
            if ti.members:
                blocks += ti.members
        self.segments[SEG_TYPEINFO] = bytearray(b''.join(ti.record for ti in self.typeinfos))
        out = bytearray(self.header)
        if self.helpdll is not None:
            out += self.helpdll
        out += struct.pack('<%di' % count, *[i * TYPEINFO_SIZE for i in range(count)])
        for entry in segdir:
            out += struct.pack('<4i', *entry)
        for seg in FILE_ORDER:
            out += self.segments[seg]
        out += blocks
        return bytes(out)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write('usage: %s INPUT.tlb OUTPUT.tlb\n' % os.path.basename(argv[0]))
        return 2
    source, target = argv[1], argv[2]
    with open(source, 'rb') as f:
        data = f.read()
    try:
        lib = TypeLib(data)
        result = lib.repair()
        if result is not None:
            data = lib.serialize()
            TypeLib(data)  # what we write must parse again
    except (FormatError, struct.error, KeyError, IndexError, ValueError) as e:
        sys.stderr.write('%s: %s: cannot repair: %s\n' % (os.path.basename(argv[0]), source, e))
        return 1
    if result is not None:
        redirected, dropped = result
        print('%s: %d reference(s) now import stdole2 IUnknown; dropped %s'
              % (os.path.basename(target), redirected, ', '.join(dropped)))
    tmp = target + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(data)
    os.replace(tmp, target)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))

"""Reads a 32-bit PE file's headers and sections: what the DLL test, the release
and the crash-address tool need to know of brindle_studios.dll."""
import struct
import zlib

IMAGE_SCN_MEM_EXECUTE = 0x20000000


class Section:
    def __init__(self, name, virtual_size, rva, raw_size, raw_offset, characteristics):
        self.name = name
        self.virtual_size = virtual_size
        self.rva = rva
        self.raw_size = raw_size
        self.raw_offset = raw_offset
        self.characteristics = characteristics

    def holds(self, rva):
        return self.rva <= rva < self.rva + max(self.virtual_size, self.raw_size)

    def is_code(self):
        return bool(self.characteristics & IMAGE_SCN_MEM_EXECUTE)


class Image:
    def __init__(self, data):
        self.data = data
        self.pe = pe = struct.unpack_from('<I', data, 0x3C)[0]
        if data[pe:pe + 4] != b'PE\0\0':
            raise ValueError('no PE signature')
        _, sections, _, self.symbol_table, self.symbol_count, optional_size, _ = \
            struct.unpack_from('<HHIIIHH', data, pe + 4)
        optional = pe + 24
        if struct.unpack_from('<H', data, optional)[0] != 0x10B:
            raise ValueError('not PE32')
        self.image_base = struct.unpack_from('<I', data, optional + 28)[0]
        self.image_size = struct.unpack_from('<I', data, optional + 56)[0]
        # The Windows versions the image asks for, and DllCharacteristics.
        self.os_version = struct.unpack_from('<HH', data, optional + 40)
        self.subsystem_version = struct.unpack_from('<HH', data, optional + 48)
        self.dll_characteristics = struct.unpack_from('<H', data, optional + 70)[0]
        count = struct.unpack_from('<I', data, optional + 92)[0]
        self.directories = [struct.unpack_from('<II', data, optional + 96 + 8 * n) for n in range(count)]
        self.sections = []
        table = optional + optional_size
        # Names longer than 8 bytes are "/N": offset N in the string table after the symbols.
        strings = self.symbol_table + 18 * self.symbol_count
        for n in range(sections):
            name, virtual_size, rva, raw_size, raw_offset = struct.unpack_from('<8sIIII', data, table + 40 * n)
            characteristics = struct.unpack_from('<I', data, table + 40 * n + 36)[0]
            name = name.rstrip(b'\0').decode()
            if name.startswith('/') and self.symbol_table:
                at = strings + int(name[1:])
                name = data[at:data.index(b'\0', at)].decode()
            self.sections.append(Section(name, virtual_size, rva, raw_size, raw_offset, characteristics))

    def symbol_names(self):
        """The names in the COFF symbol table (a debug file keeps it; a stripped image has none)."""
        names = []
        strings = self.symbol_table + 18 * self.symbol_count
        n = 0
        while n < self.symbol_count:
            at = self.symbol_table + 18 * n
            short_name, aux_count = self.data[at:at + 8], self.data[at + 17]
            if short_name[:4] == b'\0\0\0\0':
                start = strings + struct.unpack_from('<I', short_name, 4)[0]
                names.append(self.data[start:self.data.index(b'\0', start)].decode())
            else:
                names.append(short_name.rstrip(b'\0').decode())
            n += 1 + aux_count
        return names

    def section_at(self, rva):
        for section in self.sections:
            if section.holds(rva):
                return section
        return None

    def offset(self, rva):
        section = self.section_at(rva)
        if section is None:
            raise ValueError('RVA %#x is in no section' % rva)
        return section.raw_offset + rva - section.rva

    def string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b'\0', at)].decode('ascii')

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def section(self, name):
        for section in self.sections:
            if section.name == name:
                return self.data[section.raw_offset:section.raw_offset + section.raw_size]
        return None

    def debug_link(self):
        """(file name, CRC32) of the debug file the stripped image names, or None."""
        link = self.section('.gnu_debuglink')
        if link is None:
            return None
        name = link[:link.index(b'\0')].decode()
        return name, struct.unpack_from('<I', link, (len(name) + 4) & ~3)[0]


def read_image(path):
    with open(path, 'rb') as f:
        return Image(f.read())


def file_crc(path):
    """The CRC32 a debug link holds for the file."""
    with open(path, 'rb') as f:
        return zlib.crc32(f.read())

#!/usr/bin/env python3
"""A folder seen through a file system that fails the way shares and worn
discs do, for the record file tests.

    failing_fs.py FOLDER MOUNTPOINT none|close|sync|read [RECORD]

none   nothing fails;
close  the close of a file written through it fails (EDQUOT), as on an NFS
       share over its quota: the writes themselves went through;
sync   the sync of a written file fails (EIO);
read   record RECORD (128 bytes) cannot be read (EIO), nor any read that
       takes it in; files are read as asked (direct I/O), not by pages.
"""

import errno
import os
import sys

from fusepy import FUSE, FuseOSError, Operations

RECORD_SIZE = 128


class FailingFolder(Operations):
    def __init__(self, folder, mode, record):
        self.folder = folder
        self.mode = mode
        self.bad = ((record - 1) * RECORD_SIZE, record * RECORD_SIZE)
        self.written = set()

    def _path(self, path):
        return os.path.join(self.folder, path.lstrip('/'))

    def getattr(self, path, fh=None):
        st = os.lstat(self._path(path))
        keys = ('st_mode', 'st_nlink', 'st_uid', 'st_gid', 'st_size', 'st_atime', 'st_mtime', 'st_ctime')
        return {key: getattr(st, key) for key in keys}

    def readdir(self, path, fh):
        return ['.', '..'] + os.listdir(self._path(path))

    def _opened(self, fi, fd):
        fi.fh = fd
        fi.direct_io = 1
        return 0

    def open(self, path, fi):
        return self._opened(fi, os.open(self._path(path), fi.flags))

    def create(self, path, mode, fi):
        return self._opened(fi, os.open(self._path(path), os.O_RDWR | os.O_CREAT, mode))

    def truncate(self, path, length, fh=None):
        os.truncate(self._path(path), length)

    def read(self, path, size, offset, fi):
        if self.mode == 'read' and offset < self.bad[1] and offset + size > self.bad[0]:
            raise FuseOSError(errno.EIO)
        return os.pread(fi.fh, size, offset)

    def write(self, path, data, offset, fi):
        self.written.add(fi.fh)
        return os.pwrite(fi.fh, data, offset)

    def fsync(self, path, datasync, fi):
        if self.mode == 'sync' and fi.fh in self.written:
            raise FuseOSError(errno.EIO)
        os.fsync(fi.fh)

    def flush(self, path, fi):
        if self.mode == 'close' and fi.fh in self.written:
            raise FuseOSError(errno.EDQUOT)

    def release(self, path, fi):
        self.written.discard(fi.fh)
        os.close(fi.fh)


def main():
    folder, mountpoint, mode = sys.argv[1:4]
    record = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    FUSE(FailingFolder(folder, mode, record), mountpoint, raw_fi=True, foreground=True, nothreads=True)


if __name__ == '__main__':
    main()

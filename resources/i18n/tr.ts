<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Hakkında</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Kapat</translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation>Qt Hakkında</translation>
    </message>
    <message>
        <source>developed by</source>
        <translation>geliştiren:</translation>
    </message>
</context>
<context>
    <name>BatchSummary</name>
    <message>
        <source>Elapsed %1</source>
        <translation>Geçen süre: %1</translation>
    </message>
    <message>
        <source>Elapsed %1, about %2 left</source>
        <translation>Geçen süre: %1, yaklaşık %2 kaldı</translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n başarısız</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2, %3</source>
        <translation>%1, %2, %3</translation>
    </message>
    <message numerus="yes">
        <source>%n done</source>
        <translation>
            <numerusform>%n tamamlandı</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n skipped</source>
        <translation>
            <numerusform>%n atlandı</numerusform>
        </translation>
    </message>
    <message>
        <source>Finished in %1: %2</source>
        <translation>%1 sürede tamamlandı: %2</translation>
    </message>
    <message>
        <source>Cancelled after %1: %2; %3</source>
        <translation>%1 sonra iptal edildi: %2; %3</translation>
    </message>
    <message numerus="yes">
        <source>%n not converted</source>
        <translation>
            <numerusform>%n dönüştürülmedi</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n with decode errors</source>
        <translation>
            <numerusform>%n kod çözme hatalı</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopped after %1: %2; %3</source>
        <translation>%1 sonra durduruldu: %2; %3</translation>
    </message>
</context>
<context>
    <name>FFmpegTask</name>
    <message>
        <source>The encoder could not be started</source>
        <translation>Kodlayıcı başlatılamadı</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Durduruldu</translation>
    </message>
    <message>
        <source>The encoder crashed (signal %1)</source>
        <translation>Kodlayıcı çöktü (sinyal %1)</translation>
    </message>
    <message>
        <source>The encoder ended with exit code %1</source>
        <translation>Kodlayıcı %1 çıkış koduyla sonlandı</translation>
    </message>
    <message>
        <source>No thread could be started for it</source>
        <translation>Bu dosya için iş parçacığı başlatılamadı</translation>
    </message>
    <message>
        <source>The file could not be copied</source>
        <translation>Dosya kopyalanamadı</translation>
    </message>
    <message>
        <source>The copy could not be put in place</source>
        <translation>Kopya hedef konumuna yerleştirilemedi</translation>
    </message>
    <message>
        <source>The output would replace the input</source>
        <translation>Çıktı dosyası girdi dosyasının yerini alırdı</translation>
    </message>
    <message>
        <source>The output would replace another input of the batch</source>
        <translation>Çıktı dosyası listedeki başka bir girdi dosyasının yerini alırdı</translation>
    </message>
    <message>
        <source>The encoder wrote no output</source>
        <translation>Kodlayıcı hiç çıktı üretmedi</translation>
    </message>
    <message>
        <source>Another file appeared at the output path meanwhile and was kept</source>
        <translation>Bu sırada çıktı yolunda başka bir dosya oluştu ve o dosya korundu</translation>
    </message>
    <message>
        <source>The output could not be put in place</source>
        <translation>Çıktı dosyası hedef konumuna yerleştirilemedi</translation>
    </message>
    <message>
        <source>No space left on the device</source>
        <translation>Aygıtta boş yer kalmadı</translation>
    </message>
    <message>
        <source>The disk quota is used up</source>
        <translation>Disk kotası doldu</translation>
    </message>
    <message>
        <source>The output is too large for its file system</source>
        <translation>Çıktı dosyası, bulunduğu dosya sistemi için fazla büyük</translation>
    </message>
    <message>
        <source>The device reported an input/output error</source>
        <translation>Aygıt bir giriş/çıkış hatası bildirdi</translation>
    </message>
    <message>
        <source>The encoder could not finish writing the output</source>
        <translation>Kodlayıcı çıktı dosyasını yazmayı tamamlayamadı</translation>
    </message>
    <message>
        <source>decoded with errors: %1</source>
        <translation>hatalarla çözüldü: %1</translation>
    </message>
    <message>
        <source>%1 (exit code %2)</source>
        <translation>%1 (çıkış kodu %2)</translation>
    </message>
    <message>
        <source>Not an audio or video file</source>
        <translation>Ses veya video dosyası değil</translation>
    </message>
    <message>
        <source>Not an audio or video file; a file of that name is already in the output folder</source>
        <translation>Ses veya video dosyası değil; çıktı klasöründe bu adda bir dosya zaten var</translation>
    </message>
    <message>
        <source>Not an audio or video file; copied to the output folder</source>
        <translation>Ses veya video dosyası değil; çıktı klasörüne kopyalandı</translation>
    </message>
    <message>
        <source>The output already exists (quick mode)</source>
        <translation>Çıktı dosyası zaten var (hızlı mod)</translation>
    </message>
    <message>
        <source>Already in the output format; copied (quick mode)</source>
        <translation>Zaten çıktı biçiminde; kopyalandı (hızlı mod)</translation>
    </message>
    <message>
        <source>Converted</source>
        <translation>Dönüştürüldü</translation>
    </message>
    <message>
        <source>Writing the tags failed part way: the output may be damaged</source>
        <translation>Etiketlerin yazılması yarıda kaldı: çıktı bozulmuş olabilir</translation>
    </message>
    <message>
        <source>Converted; %1</source>
        <translation>Dönüştürüldü; %1</translation>
    </message>
    <message>
        <source>no ReplayGain tags: the loudness could not be measured</source>
        <translation>ReplayGain etiketi yok: ses yüksekliği ölçülemedi</translation>
    </message>
    <message>
        <source>The same file as row %1, which converts it</source>
        <translation>%1. satırla aynı dosya; o satır dönüştürüyor</translation>
    </message>
</context>
<context>
    <name>JobDetailsDialog</name>
    <message>
        <source>Details: %1</source>
        <translation>Ayrıntılar: %1</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Dosya:</translation>
    </message>
    <message>
        <source>Result:</source>
        <translation>Sonuç:</translation>
    </message>
    <message>
        <source>Output:</source>
        <translation>Çıktı:</translation>
    </message>
    <message>
        <source>Command line:</source>
        <translation>Komut satırı:</translation>
    </message>
    <message>
        <source>No encoder ran for this file.</source>
        <translation>Bu dosya için kodlayıcı çalıştırılmadı.</translation>
    </message>
    <message>
        <source>Encoder output:</source>
        <translation>Kodlayıcı çıktısı:</translation>
    </message>
</context>
<context>
    <name>JobStatus</name>
    <message>
        <source>Pending</source>
        <translation>Bekliyor</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>İşleniyor</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Başarısız</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Atlandı</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Tamamlandı</translation>
    </message>
</context>
<context>
    <name>JobTable</name>
    <message>
        <source>Converting %1 %</source>
        <translation>İşleniyor %%1</translation>
    </message>
    <message>
        <source>Output: %1</source>
        <translation>Çıktı: %1</translation>
    </message>
    <message>
        <source>The encoder&apos;s last lines:</source>
        <translation>Kodlayıcının son satırları:</translation>
    </message>
    <message>
        <source>An earlier row has the same output, so this one is numbered.</source>
        <translation>Önceki bir satır aynı çıktıya sahip, bu yüzden bu satır numaralandırılır.</translation>
    </message>
    <message>
        <source>Replaces an existing file.</source>
        <translation>Var olan bir dosyanın yerine geçer.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Convert</source>
        <translation>Dönüştür</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Temizle</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Ayarlar</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Hakkında</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Durum</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Dosya</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Kaldır</translation>
    </message>
    <message>
        <source>FFmpeg binary is invalid. Please check your settings.</source>
        <translation>FFmpeg programı geçersiz. Lütfen ayarlarınızı kontrol edin.</translation>
    </message>
    <message>
        <source>Your output directory is bad. Maybe it is not writable?</source>
        <translation>Çıktı klasörünüzde bir sorun var. Belki de yazma izni yoktur?</translation>
    </message>
    <message>
        <source>Drop files or folders here, or use Add Files</source>
        <translation>Dosyaları veya klasörleri buraya bırakın ya da Dosya Ekle&apos;yi kullanın</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Dosya</translation>
    </message>
    <message>
        <source>&amp;Convert</source>
        <translation>Dö&amp;nüştür</translation>
    </message>
    <message>
        <source>Add &amp;Files…</source>
        <translation>&amp;Dosya Ekle…</translation>
    </message>
    <message>
        <source>Add F&amp;older…</source>
        <translation>&amp;Klasör Ekle…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Çıkış</translation>
    </message>
    <message>
        <source>Convert Failed Again</source>
        <translation>Başarısızları Yeniden Dönüştür</translation>
    </message>
    <message>
        <source>Stop Now</source>
        <translation>Hemen Durdur</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Dosya Ekle</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Klasör Ekle</translation>
    </message>
    <message>
        <source>Show Details…</source>
        <translation>Ayrıntıları Göster…</translation>
    </message>
    <message>
        <source>Open Output Folder</source>
        <translation>Çıktı Klasörünü Aç</translation>
    </message>
    <message>
        <source>Cancelled: waiting for the files being converted to finish. Stop Now in the Convert menu stops them at once.</source>
        <translation>İptal edildi: dönüştürülmekte olan dosyaların bitmesi bekleniyor. Dönüştür menüsündeki Hemen Durdur komutu onları anında durdurur.</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Çıktı</translation>
    </message>
    <message>
        <source>%1 into %2</source>
        <translation>%1, %2 içine</translation>
    </message>
</context>
<context>
    <name>PreviewCounts</name>
    <message>
        <source>1 output replaces an existing file</source>
        <translation>1 çıktı var olan bir dosyanın yerine geçer</translation>
    </message>
    <message>
        <source>%1 outputs replace existing files</source>
        <translation>%1 çıktı var olan dosyaların yerine geçer</translation>
    </message>
    <message>
        <source>1 row collides</source>
        <translation>1 satır çakışıyor</translation>
    </message>
    <message>
        <source>%1 rows collide</source>
        <translation>%1 satır çakışıyor</translation>
    </message>
    <message>
        <source>1 output falls onto an input</source>
        <translation>1 çıktı bir girdinin üzerine düşer</translation>
    </message>
    <message>
        <source>%1 outputs fall onto inputs</source>
        <translation>%1 çıktı girdilerin üzerine düşer</translation>
    </message>
    <message>
        <source>1 row repeats an input</source>
        <translation>1 satır bir girdiyi tekrarlıyor</translation>
    </message>
    <message>
        <source>%1 rows repeat an input</source>
        <translation>%1 satır bir girdiyi tekrarlıyor</translation>
    </message>
</context>
<context>
    <name>OutputPlan</name>
    <message>
        <source>The output folder cannot be made</source>
        <translation>Çıktı klasörü oluşturulamıyor</translation>
    </message>
    <message>
        <source>The file cannot be read</source>
        <translation>Dosya okunamıyor</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Ayarlar</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>Genel</translation>
    </message>
    <message>
        <source>Output directory:</source>
        <translation>Çıktı klasörü:</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Biçim:</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>Kalite:</translation>
    </message>
    <message>
        <source>Samplerate:</source>
        <translation>Örnekleme hızı:</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Kanallar:</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Gelişmiş</translation>
    </message>
    <message>
        <source>FFmpeg binary:</source>
        <translation>FFmpeg programı:</translation>
    </message>
    <message>
        <source>This option may speed up the process in some cases by copying files which are already in the output format and skipping files which has already been converted. This will not change the bitrate or samplerate of the output file!</source>
        <translation>Bu seçenek, zaten çıktı biçiminde olan dosyaları kopyalayarak ve daha önce dönüştürülmüş dosyaları atlayarak bazı durumlarda işlemi hızlandırabilir. Bu, çıktı dosyasının bit hızını veya örnekleme hızını değiştirmez!</translation>
    </message>
    <message>
        <source>Quick mode</source>
        <translation>Hızlı mod</translation>
    </message>
    <message>
        <source>How many files to process at the same time.
Select 0 to use all CPU threads.</source>
        <translation>Aynı anda işlenecek dosya sayısı.
Tüm CPU iş parçacıklarını kullanmak için 0 seçin.</translation>
    </message>
    <message>
        <source>Threads:</source>
        <translation>İş parçacıkları:</translation>
    </message>
    <message>
        <source>SoX is slower, but results in higher quality. This option requires FFmpeg compiled with libsoxr.</source>
        <translation>SoX daha yavaştır ancak daha yüksek kalite sağlar. Bu seçenek libsoxr ile derlenmiş bir FFmpeg gerektirir.</translation>
    </message>
    <message>
        <source>Use SoX resampler</source>
        <translation>SoX yeniden örnekleyiciyi kullan</translation>
    </message>
    <message>
        <source>Copy any file not containing audio to the output directory</source>
        <translation>Ses içermeyen tüm dosyaları çıktı klasörüne kopyala</translation>
    </message>
    <message>
        <source>Copy non-audio files</source>
        <translation>Ses dışı dosyaları kopyala</translation>
    </message>
    <message>
        <source>Filters</source>
        <translation>Filtreler</translation>
    </message>
    <message>
        <source>Preset:</source>
        <translation>Ön ayar:</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Olduğu gibi</translation>
    </message>
    <message>
        <source>1 (Mono)</source>
        <translation>1 (Mono)</translation>
    </message>
    <message>
        <source>2 (Stereo)</source>
        <translation>2 (Stereo)</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Devre dışı</translation>
    </message>
    <message>
        <source>Increase volume</source>
        <translation>Sesi yükselt</translation>
    </message>
    <message>
        <source>Reduce volume</source>
        <translation>Sesi azalt</translation>
    </message>
    <message>
        <source>Fade-in and fade-out</source>
        <translation>Yumuşak giriş ve çıkış</translation>
    </message>
    <message>
        <source>Bass boost</source>
        <translation>Bas güçlendirme</translation>
    </message>
    <message>
        <source>Speed up</source>
        <translation>Hızlandır</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>Klasör Aç</translation>
    </message>
    <message>
        <source>Gives each output the front cover of its input, or else the folder&apos;s cover, folder, front or albumart picture.</source>
        <translation>Her çıktıya girdisinin ön kapağını, yoksa klasördeki cover, folder, front veya albumart resmini verir.</translation>
    </message>
    <message>
        <source>Cover art</source>
        <translation>Kapak resmi</translation>
    </message>
    <message>
        <source>Measures each file&apos;s loudness while converting it and writes ReplayGain track and album gain tags (R128 gain for Opus).</source>
        <translation>Dönüştürürken her dosyanın ses yüksekliğini ölçer ve parça ile albüm için ReplayGain etiketleri (Opus için R128 kazancı) yazar.</translation>
    </message>
    <message>
        <source>ReplayGain tags</source>
        <translation>ReplayGain etiketleri</translation>
    </message>
    <message>
        <source>The folder the outputs go to. {sourcedir} stands for the whole folder of each input, so /out/{sourcedir} mirrors every input&apos;s absolute path below /out. {subfolder} stands for the input&apos;s folder below the folder it was added with (empty for a file added alone), so /out/{subfolder} keeps only the added tree&apos;s shape.</source>
        <translation>Çıktıların gideceği klasör. {sourcedir} her girdinin tüm klasörü yerine geçer; /out/{sourcedir} her girdinin mutlak yolunu /out altında yineler. {subfolder} girdinin, birlikte eklendiği klasörün altındaki klasörü yerine geçer (tek başına eklenen dosyada boştur); /out/{subfolder} yalnızca eklenen ağacın yapısını korur.</translation>
    </message>
    <message>
        <source>Names</source>
        <translation>Adlar</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Dosya adı:</translation>
    </message>
    <message>
        <source>Empty: each output keeps its input&apos;s name. A tag the file lacks gives: {title} the input&apos;s name, {artist} and {albumartist} &quot;Unknown Artist&quot;, {album} &quot;Unknown Album&quot;, {track} 00, {disc} 1, {year} 0000, {genre} &quot;Unknown Genre&quot;, {composer} &quot;Unknown Composer&quot;. Characters that FAT, exFAT or NTFS refuse become _.</source>
        <translation>Boş: her çıktı girdisinin adını korur. Dosyada olmayan bir etiket şunu verir: {title} girdinin adı, {artist} ve {albumartist} &quot;Unknown Artist&quot;, {album} &quot;Unknown Album&quot;, {track} 00, {disc} 1, {year} 0000, {genre} &quot;Unknown Genre&quot;, {composer} &quot;Unknown Composer&quot;. FAT, exFAT veya NTFS&apos;nin kabul etmediği karakterler _ olur.</translation>
    </message>
    <message>
        <source>Placeholders: {title} {artist} {albumartist} {album} {track} {disc} {year} {genre} {composer} {basename} {subfolder}. A / makes folders.</source>
        <translation>Yer tutucular: {title} {artist} {albumartist} {album} {track} {disc} {year} {genre} {composer} {basename} {subfolder}. / klasör oluşturur.</translation>
    </message>
    <message>
        <source>Gives each output the modification time of its input.</source>
        <translation>Her çıktıya girdisinin değiştirilme zamanını verir.</translation>
    </message>
    <message>
        <source>Keep file times</source>
        <translation>Dosya zamanlarını koru</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Başlık</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Sanatçı</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Albüm</translation>
    </message>
    <message>
        <source>Example: %1</source>
        <translation>Örnek: %1</translation>
    </message>
</context>
<context>
    <name>TagCopy</name>
    <message>
        <source>tags and cover not copied: the input&apos;s tags could not be read</source>
        <translation>etiketler ve kapak kopyalanmadı: girdinin etiketleri okunamadı</translation>
    </message>
    <message>
        <source>tags and cover not copied: the output&apos;s tags could not be written</source>
        <translation>etiketler ve kapak kopyalanmadı: çıktının etiketleri yazılamadı</translation>
    </message>
</context>
</TS>
